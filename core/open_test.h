#pragma once
#include <cstdint>
#include <string>

#include "core/records.h"
#include "platform/modal.h"

namespace core {

// The test Quizloom has open. fileName holds the whole path (or "Untitled"); the dialog data
// is shared by the Open and Save As dialogs and remembers the last name chosen in either.
struct TOpenTest {
  TOpenTest();

  TList<TQuestion> questions;
  std::string fileName;
  int32_t modified = 0;
  int32_t untitled = 0;
  platform::TOpenSaveDialogData testFileData;
};

inline constexpr char kUntitled[] = "Untitled";

}  // namespace core
