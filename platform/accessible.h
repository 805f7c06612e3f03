#pragma once
#include "platform/accessible_view.h"

namespace platform {

class TWindow;

// Makes the program's own windows (TWindow) visible to screen readers through Qt's
// accessibility bridge. Each program calls it once at start-up; later calls do nothing.
void InstallAccessibility();

// Tells assistive technology what changed in window between two of its views.
void SendAccessibleChanges(TWindow& window, const TAccessibleView& before,
                           const TAccessibleView& after);

}  // namespace platform
