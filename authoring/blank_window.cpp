#include "authoring/blank_window.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "authoring/test_window.h"
#include "authoring/list_layout.h"
#include "editor/draw_question.h"
#include "editor/letter_drawing.h"
#include "platform/cp1252.h"
#include "platform/keys.h"
#include "platform/scroller.h"
#include "platform/system.h"

namespace quizloom {

TBlankWindow::TBlankWindow(QWidget* parent, TTestWindow& mainWindow)
    : TWindow(parent), mainWindow_(mainWindow) {
  SetInitialSize(platform::ScreenWidth() * 5 / 6, platform::ScreenHeight() * 2 / 3);
  SetScroller(std::make_unique<platform::TScroller>(*this, 8, 15, 80, 200), true);

  Respond(CM_NEW, [this] { CmNew(); });
  Respond(CM_OPEN, [this] { CmOpen(); });
  Respond(CM_SAVE, [this] { CmSave(); });
  Respond(CM_SAVE_AS, [this] { CmSaveAs(); });
  Respond(CM_SEARCH, [this] { CmSearch(); });
  Respond(CM_SEARCH_AGAIN, [this] { CmSearchAgain(); });
}

TBlankWindow::~TBlankWindow() = default;

std::string TBlankWindow::ListCaption() const {
  if (openTest.questions.IsEmpty()) return "No file active";
  return platform::PathToText(openTest.fileName);
}

void TBlankWindow::Paint(platform::TDC& dc, bool) {
  platform::TScroller& scroller = *Scroller();
  dc.SelectFont(screenFont);
  const platform::TSize letter = dc.GetTextExtent("X");
  const int lineHeight = letter.cy + 3;
  const int charWidth = letter.cx;
  scroller.SetUnits(scroller.XUnit(), lineHeight);

  mainWindow_.SetCaption(ListCaption());
  if (openTest.questions.IsEmpty()) {
    dc.TextOut(5, 5, kOpenHint);
    dc.TextOut(5, 20, kNewHint);
    scroller.SetRange(0, scroller.YRange());
  } else {
    const int clientWidth = GetClientRect().Width();
    // Questions well outside the view are stepped over by their height: a long test then
    // costs no more to paint than the page it shows. The margin of a line keeps every
    // question that DrawQuestion would draw any part of.
    UpdateLayout();
    for (auto& [name, loads] : pictureLoads_) loads = editor::PictureLoads(name.c_str());
    const TPlacement placement = PlaceQuestions(lineHeight, scroller.YPos() - 1,
                                                scroller.YPos() + scroller.YPage() + 2);
    const int current = hasFocus() ? CurrentQuestionIndex() : -1;
    for (const TPlacedQuestion& placed : placement.questions) {
      int x = 5;
      int y = placed.top;
      int number = placed.index + 1;
      editor::DrawQuestion(&scroller, openTest.questions[placed.index], dc, x, y, lineHeight,
                           charWidth, number, clientWidth + scroller.XPos() * scroller.XUnit());
      if (placed.index == current) DrawFocusMark(dc, placed, lineHeight);
    }
    const int y = placement.height;
    const int position = scroller.YPos();
    // Lines wider than the window, as at a large scale, scroll sideways instead of being cut.
    const int overhang = 5 + placement.columns * charWidth - clientWidth;
    const int unit = std::max(scroller.XUnit(), 1);
    const int across = (std::max(overhang, 0) + unit - 1) / unit;
    scroller.SetRange(across, lineHeight > 0 ? y / lineHeight : 0);
    // A shorter list pulls the view back inside its range; this paint was made from the old
    // position, so paint again from the new one.
    if (scroller.YPos() != position) Invalidate(true);
  }
  dc.RestoreFont();
}

TBlankWindow::TPlacement TBlankWindow::PlaceQuestions(int lineHeight, int firstLine,
                                                     int lastLine) {
  UpdateLayout();
  TPlacement placement;
  int y = 5;
  for (int i = 0; i < openTest.questions.Count(); ++i) {
    const TLayoutEntry& entry = layout_[static_cast<std::size_t>(i)];
    const bool loads = entry.picture && entry.picture->second;
    const int height = QuestionHeight(entry.lineBreaks, entry.picture, loads, lineHeight);
    if (lineHeight <= 0 || ((y + height) / lineHeight >= firstLine && y / lineHeight <= lastLine))
      placement.questions.push_back({i, y, height});
    int columns = entry.columns;
    if (entry.picture && !loads) {
      const std::string missing = editor::MissingPictureText(entry.picture->first.c_str());
      columns = std::max(columns, static_cast<int>(missing.size()));
    }
    placement.columns = std::max(placement.columns, columns);
    y += height;
  }
  placement.height = y;
  return placement;
}

int TBlankWindow::CurrentQuestionIndex() {
  const platform::TScroller& scroller = *Scroller();
  const int lineHeight = scroller.YUnit();
  const int firstLine = scroller.YPos();
  const TPlacement placement =
      PlaceQuestions(lineHeight, firstLine, firstLine + std::max(scroller.YPage() - 1, 0));
  // A question whose blank line after the answer is all that shows has been left.
  for (const TPlacedQuestion& placed : placement.questions)
    if (placed.top + placed.height - lineHeight > firstLine * lineHeight) return placed.index;
  return placement.questions.empty() ? -1 : placement.questions.back().index;
}

void TBlankWindow::DrawFocusMark(platform::TDC& dc, const TPlacedQuestion& current,
                                 int lineHeight) {
  // Inverted, so it shows on the page and on a picture alike; two pixels wide, in the margin
  // left of the text and in the blank lines above and below the question.
  constexpr int kWidth = 2;
  const int left = 1;
  const int right = GetClientRect().Width() - 1;
  const int top = current.top - 4;
  const int bottom = current.top + current.height - lineHeight + 2 + kWidth;
  dc.InvertRect({left, top, right, top + kWidth});
  dc.InvertRect({left, bottom - kWidth, right, bottom});
  dc.InvertRect({left, top + kWidth, left + kWidth, bottom - kWidth});
  dc.InvertRect({right - kWidth, top + kWidth, right, bottom - kWidth});
}

void TBlankWindow::focusInEvent(QFocusEvent* event) {
  TWindow::focusInEvent(event);
  Invalidate(true);
}

void TBlankWindow::focusOutEvent(QFocusEvent* event) {
  TWindow::focusOutEvent(event);
  Invalidate(true);
}

void TBlankWindow::UpdateLayout() {
  layout_.resize(static_cast<std::size_t>(openTest.questions.Count()));
  for (int i = 0; i < openTest.questions.Count(); ++i) {
    const core::TQuestion& question = openTest.questions[i];
    TLayoutEntry& entry = layout_[static_cast<std::size_t>(i)];
    if (entry.question == &question) continue;
    entry = {&question, LineBreaks(question), WidestLine(question, i + 1), nullptr};
    if (question.picture[0] == '\0') continue;
    const std::string name(question.picture, strnlen(question.picture, sizeof question.picture));
    // Map elements stay where they are as the map grows.
    entry.picture = &*pictureLoads_.try_emplace(name, false).first;
  }
}

void TBlankWindow::ForgetLayout() {
  layout_.clear();
  pictureLoads_.clear();
}

void TBlankWindow::EvKeyDown(unsigned virtualKey) {
  platform::TScroller& scroller = *Scroller();
  const int position = scroller.YPos();
  const int range = scroller.YRange();
  const int page = scroller.YPage();
  // Up and Down step by the unit, which is the line height in pixels: so many lines a press.
  const int unit = scroller.YUnit();
  switch (virtualKey) {
    case platform::VK_PRIOR: scroller.ScrollTo(0, position > 0 ? position - page : 0); break;
    case platform::VK_NEXT: scroller.ScrollTo(0, position < range ? position + page : range); break;
    case platform::VK_UP: scroller.ScrollTo(0, position > unit ? position - unit : 0); break;
    case platform::VK_DOWN: scroller.ScrollTo(0, position < range ? position + unit : range); break;
    // Sideways a cell at a time, where the lines are wider than the window.
    case platform::VK_LEFT: scroller.ScrollTo(scroller.XPos() - 1, position); break;
    case platform::VK_RIGHT: scroller.ScrollTo(scroller.XPos() + 1, position); break;
    default: break;
  }
}

}  // namespace quizloom
