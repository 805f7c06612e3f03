#pragma once
#include <memory>
#include <string>

#include "core/dialog_records.h"
#include "core/records.h"

class QWidget;

namespace core {

inline constexpr char kResultsOnC[] = "results.qzr";
inline constexpr char kResultsOnA[] = "A:\\results.qzr";
inline constexpr char kResultsOnB[] = "B:\\results.qzr";

// The storage drive dialog with C: chosen. The results path of the drive picked ("results.qzr"
// in the current directory, "A:\results.qzr" or "B:\results.qzr"), or empty after Escape.
std::string ChooseResultsPath(QWidget* owner);
// The results path of the drive checked in a storage drive record: C:, then A:, then B:, a
// later one that is set winning; C: when none is.
std::string DrivePath(const TDriveRecord& drive);

// After a disk of A: or B: has been dealt with, asks (Yes/No) whether another one follows in
// the same drive; for C: there is no other disk.
bool AskForAnotherDisk(QWidget* owner, const std::string& drivePath, const char* text,
                       const char* caption);

enum class ResultsReadError { None, Missing, Damaged };

// The results file at path, a path of this system, when it is a whole results file. Missing:
// it cannot be opened or read; Damaged: its bytes are not one of ours.
std::unique_ptr<TInformation> ReadResultsFile(const std::string& path, ResultsReadError& error);

}  // namespace core
