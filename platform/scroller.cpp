#include "platform/scroller.h"

#include <algorithm>

#include <QScrollBar>

#include "platform/window.h"

namespace platform {

TScroller::TScroller(TWindow& window, int xUnit, int yUnit, int xRange, int yRange)
    : window_(window), xUnit_(xUnit), yUnit_(yUnit), xRange_(xRange), yRange_(yRange) {}

void TScroller::SetUnits(int xUnit, int yUnit) {
  xUnit_ = xUnit;
  yUnit_ = yUnit;
}

void TScroller::SetRange(int xRange, int yRange) {
  xRange_ = std::max(xRange, 0);
  yRange_ = std::max(yRange, 0);
  xPos_ = std::min(xPos_, xRange_);
  yPos_ = std::min(yPos_, yRange_);
  SyncScrollBar();
  window_.ShowAcrossBar(xRange_ > 0);
}

void TScroller::ScrollTo(int x, int y) {
  int newX = std::clamp(x, 0, xRange_);
  int newY = std::clamp(y, 0, yRange_);
  if (newX == xPos_ && newY == yPos_) return;
  xPos_ = newX;
  yPos_ = newY;
  SyncScrollBar();
  window_.Invalidate(true);
}

void TScroller::SetPageSize() {
  TRect client = window_.GetClientRect();
  xPage_ = xUnit_ > 0 ? std::max((client.Width() + 1) / xUnit_ - 1, 1) : 1;
  yPage_ = yUnit_ > 0 ? std::max((client.Height() + 1) / yUnit_ - 1, 1) : 1;
  SyncScrollBar();
}

void TScroller::SyncScrollBar() {
  QScrollBar* bar = window_.scrollBar_;
  if (!bar) return;
  QSignalBlocker block(bar);
  bar->setRange(0, yRange_);
  bar->setPageStep(yPage_);
  bar->setSingleStep(1);
  bar->setValue(yPos_);
  if (QScrollBar* across = window_.horizontalBar_) {
    QSignalBlocker blockAcross(across);
    across->setRange(0, xRange_);
    across->setPageStep(xPage_);
    across->setValue(xPos_);
  }
}

}  // namespace platform
