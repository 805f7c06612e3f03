#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/geometry.h"

class QCursor;

namespace platform {

// The screen's size in pixels, as the old system metrics gave it.
int ScreenWidth();
int ScreenHeight();

// Shows the hourglass while it lives, then brings back the previous cursor.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// Where a path of the old drive letters lies here. "A:\x" and "B:\x" are on the first and
// second removable volume (or the folders QUIZDESK_DRIVE_A and QUIZDESK_DRIVE_B), "C:\x" and
// a path without drive in the current directory. Nothing when the drive has no volume, which
// is what an empty floppy drive was.
std::optional<std::string> MapDrivePath(std::string_view path);

// The splash: the named bitmap centred on the screen for three seconds, during which no
// input is processed. Returns the screen rectangle it covered.
TRect ShowSplash(const std::string& bitmapName);

}  // namespace platform
