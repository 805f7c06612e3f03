#pragma once

class QWidget;

namespace platform {

// Keeps a top-level window inside the free area of its screen (without panels and docks):
// no larger than that area, and moved in where it would reach past an edge. A window that
// cannot be made smaller keeps its least size.
void FitToScreen(QWidget& window);

// Watches every window and dialog as it opens: each fits its screen, at any scale, and a
// dialog shows the focus mark of its first control at once rather than after the first Tab.
// Called once at start-up.
void InstallScreenFit();

}  // namespace platform
