#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "core/records.h"
#include "core/results_file.h"

class QWidget;

namespace quizdesk {

using core::ChooseResultsPath;
using core::kResultsOnA;
using core::kResultsOnB;
using core::kResultsOnC;

// Writes the results file's bytes to the drive path. The file is replaced only when every
// byte is on the disk; a missing drive or a folder that cannot be written gives "File cannot
// be found!", a failed write its own message, and the file on disk is left as it was.
bool WriteResults(const std::string& drivePath, std::span<const uint8_t> bytes, QWidget* owner);

// The storage drive dialog, then the write; Escape writes nothing and says nothing. On a
// computer set up to hand in, the dialog offers School too: the same bytes go to the school
// server under the hand-in code, asked once and kept in handInCode for the rest of the test.
// A hand-in that fails says why and offers the drives alone. True when the results are stored.
bool StoreResults(const core::TInformation& information, QWidget* owner, std::string& handInCode);

// Reads the results file at the drive path into information, which is replaced only when
// the whole file was read. False after a message: "File cannot be found!" when it cannot be
// opened, another when it is not a whole results file.
bool ReadResults(const std::string& drivePath, core::TInformation& information, QWidget* owner);

// Whether an ordinary file lies at the drive path.
bool ResultsFileExists(const std::string& drivePath);

}  // namespace quizdesk
