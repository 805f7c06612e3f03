#pragma once
#include <functional>
#include <string>

#include "core/open_test.h"

class QWidget;

namespace core {

// Shows a caption on the main window (Windows-1252 bytes).
using SetCaption = std::function<void(const std::string& caption)>;

// Replaces the questions of the list by those of the test file at path. 1 on success, 0
// after its own message ("File cannot be found!" or "Incorrect File Format!"); on failure the
// list is exactly as it was.
int ReadTestFile(const std::string& path, TList<TQuestion>& questions, QWidget* owner);

// Writes the open test to its fileName. The file is replaced only when every byte has been
// written; on success the caption shows the path and modified is cleared. False after a
// message when it failed, with modified and the old file untouched.
bool Save(TOpenTest& test, QWidget* owner, const SetCaption& setCaption);

// Lets the user choose a name, then saves. Does nothing on an empty test. False when the test
// is empty, the dialog was cancelled or the save failed.
bool SaveAs(TOpenTest& test, QWidget* owner, const SetCaption& setCaption);

// ReadTestFile on fileName into the open test; on success modified and untitled are cleared.
int Load(TOpenTest& test, QWidget* owner);

}  // namespace core
