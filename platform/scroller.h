#pragma once

namespace platform {

class TWindow;

// Scrolling of a window in units: positions and ranges are counted in units, and painting is
// shifted by position x unit.
class TScroller {
 public:
  TScroller(TWindow& window, int xUnit, int yUnit, int xRange, int yRange);

  void SetUnits(int xUnit, int yUnit);
  void SetRange(int xRange, int yRange);
  // Keeps each position between 0 and its range; a change repaints the window.
  void ScrollTo(int x, int y);
  // Page sizes from the client area, with the unit in force now: (height + 1) / unit - 1, >= 1.
  void SetPageSize();

  int XUnit() const { return xUnit_; }
  int YUnit() const { return yUnit_; }
  int XRange() const { return xRange_; }
  int YRange() const { return yRange_; }
  int XPos() const { return xPos_; }
  int YPos() const { return yPos_; }
  int XPage() const { return xPage_; }
  int YPage() const { return yPage_; }

 private:
  void SyncScrollBar();

  TWindow& window_;
  int xUnit_, yUnit_, xRange_, yRange_;
  int xPos_ = 0, yPos_ = 0;
  int xPage_ = 1, yPage_ = 1;
};

}  // namespace platform
