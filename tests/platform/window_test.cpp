#include <gtest/gtest.h>

#include <QApplication>
#include <QWheelEvent>
#include <QKeyEvent>
#include <QTest>

#include "platform/application.h"
#include "platform/frame_window.h"
#include "platform/keys.h"
#include "platform/recording_dc.h"
#include "platform/scroller.h"
#include "platform/window.h"

namespace {

using platform::TPoint;

// A window that writes down every message it receives, in order.
class LoggingWindow : public platform::TWindow {
 public:
  using TWindow::TWindow;
  std::vector<std::string> log;
  int paints = 0;
  bool lastErase = false;

  void EvChar(unsigned code) override { log.push_back("char " + std::to_string(code)); }
  void EvKeyDown(unsigned vk) override { log.push_back("down " + std::to_string(vk)); }
  void EvKeyUp(unsigned vk) override { log.push_back("up " + std::to_string(vk)); }
  void EvLButtonDown(TPoint p) override { log.push_back("press " + Where(p)); }
  void EvLButtonUp(TPoint p) override { log.push_back("release " + Where(p)); }
  void Respond(int id, std::string name) {
    TCommandTarget::Respond(id, [this, name] { log.push_back(name); });
  }

 protected:
  void Paint(platform::TDC& dc, bool erase) override {
    ++paints;
    lastErase = erase;
    dc.TextOut(1, 2, "hi");
  }

 private:
  static std::string Where(TPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
};

class LoggingFrame : public platform::TFrameWindow {
 public:
  LoggingFrame() : TFrameWindow("Frame") {}
  std::vector<std::string>* log = nullptr;
  void Respond(int id, std::string name) {
    TCommandTarget::Respond(id, [this, name] { log->push_back(name); });
  }
};

class LoggingApp : public platform::TApplication {
 public:
  LoggingApp() : TApplication("Quizloom") {}
  std::vector<std::string>* log = nullptr;
  void Respond(int id, std::string name) {
    TCommandTarget::Respond(id, [this, name] { log->push_back(name); });
  }
};

TEST(CommandRouting, ClientThenFrameThenApplication) {
  LoggingApp app;
  LoggingFrame frame;
  app.SetMainWindow(&frame);
  auto* client = new LoggingWindow(frame.ClientArea());
  frame.SetClient(client);
  frame.log = app.log = &client->log;
  client->Respond(1, "client 1");
  frame.Respond(1, "frame 1");
  frame.Respond(2, "frame 2");
  app.Respond(1, "app 1");
  app.Respond(2, "app 2");
  app.Respond(3, "app 3");

  for (int id : {1, 2, 3, 4}) frame.Command(id);
  EXPECT_EQ(client->log, (std::vector<std::string>{"client 1", "frame 2", "app 3"}));
}

TEST(CommandRouting, HiddenClientKeepsItsStateAndLosesItsCommands) {
  LoggingFrame frame;
  auto* first = new LoggingWindow(frame.ClientArea());
  auto* second = new LoggingWindow(frame.ClientArea());
  frame.log = &first->log;
  first->Respond(5, "first");
  frame.SetClient(first);
  first->log.push_back("kept");
  frame.SetClient(second);
  frame.Command(5);
  EXPECT_EQ(first->log, (std::vector<std::string>{"kept"}));
  frame.SetClient(first);
  frame.Command(5);
  EXPECT_EQ(first->log, (std::vector<std::string>{"kept", "first"}));
}

// Sends one key press and release through Qt, as a keyboard would.
void Press(QWidget& w, Qt::Key key, Qt::KeyboardModifiers mods, const QString& text,
           bool repeat = false, bool release = true) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text, repeat);
  QApplication::sendEvent(&w, &press);
  if (release) {
    QKeyEvent up(QEvent::KeyRelease, key, mods, text, repeat);
    QApplication::sendEvent(&w, &up);
  }
}

struct KeyCase {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers mods;
  QString text;
  std::vector<std::string> expected;
};

// Each key pressed and released on a fresh window gives its expected messages.
void ExpectMessages(const std::vector<KeyCase>& cases) {
  for (const KeyCase& c : cases) {
    LoggingWindow w;
    Press(w, c.key, c.mods, c.text);
    EXPECT_EQ(w.log, c.expected) << c.name;
  }
}

TEST(KeyTranslation, GivesTheOldMessageSequence) {
  ExpectMessages({
      {"Enter", Qt::Key_Return, Qt::NoModifier, "\r", {"down 13", "char 13", "up 13"}},
      {"Tab", Qt::Key_Tab, Qt::NoModifier, "\t", {"down 9", "char 9", "up 9"}},
      {"Backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", {"down 8", "char 8", "up 8"}},
      {"Esc", Qt::Key_Escape, Qt::NoModifier, "\x1b", {"down 27", "char 27", "up 27"}},
      {"letter", Qt::Key_A, Qt::NoModifier, "a", {"down 65", "char 97", "up 65"}},
      {"capital", Qt::Key_A, Qt::ShiftModifier, "A", {"down 65", "char 65", "up 65"}},
      {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, "\x03", {"down 67", "char 3", "up 67"}},
      {"Delete", Qt::Key_Delete, Qt::NoModifier, "", {"down 46", "up 46"}},
      {"F2", Qt::Key_F2, Qt::NoModifier, "", {"down 113", "up 113"}},
  });
}

// Ctrl+Enter sent Enter and Ctrl+Backspace a backspace where the old system sent a line feed
// and 127; ü, é and ß on their own keys sent no key-down or key-up, so releasing them did not
// end a Shift selection as every other key does.
TEST(KeyTranslation, CtrlEnterSentEnterAndKeysWithoutCodeSentNoKeyUp) {
  ExpectMessages({
      {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, "\r", {"down 13", "char 10", "up 13"}},
      {"Ctrl+Enter", Qt::Key_Enter, Qt::ControlModifier, "\r", {"down 13", "char 10", "up 13"}},
      {"Ctrl+Backspace", Qt::Key_Backspace, Qt::ControlModifier, "\x7f", {"down 8", "char 127", "up 8"}},
      {"u umlaut", Qt::Key_Udiaeresis, Qt::NoModifier, QString(QChar(0xFC)), {"down 231", "char 252", "up 231"}},
      {"e acute", Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)), {"down 231", "char 233", "up 231"}},
      {"sharp s", Qt::Key_ssharp, Qt::NoModifier, QString(QChar(0xDF)), {"down 231", "char 223", "up 231"}},
  });
}

TEST(KeyTranslation, ShiftRightAndAutoRepeat) {
  LoggingWindow w;
  Press(w, Qt::Key_Shift, Qt::ShiftModifier, "", false, false);
  Press(w, Qt::Key_Right, Qt::ShiftModifier, "", false, false);
  Press(w, Qt::Key_Right, Qt::ShiftModifier, "", true, true);  // repeat: its release is skipped
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Right, Qt::ShiftModifier, "", false);
  QApplication::sendEvent(&w, &up);
  QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, "", false);
  QApplication::sendEvent(&w, &shiftUp);
  EXPECT_EQ(w.log, (std::vector<std::string>{"down 16", "down 39", "down 39", "up 39", "up 16"}));
}

TEST(KeyTranslation, AltKeysBelongToTheFrame) {
  LoggingWindow w;
  Press(w, Qt::Key_Down, Qt::AltModifier, "");
  Press(w, Qt::Key_X, Qt::AltModifier, "x");
  EXPECT_TRUE(w.log.empty());
}

TEST(KeyTranslation, VirtualKeysBothWays) {
  for (auto [qt, vk] : std::vector<std::pair<int, unsigned>>{
           {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_End, 35}, {Qt::Key_Home, 36},
           {Qt::Key_Left, 37}, {Qt::Key_Up, 38}, {Qt::Key_Right, 39}, {Qt::Key_Down, 40},
           {Qt::Key_Delete, 46}, {Qt::Key_Shift, 16}, {Qt::Key_X, 0x58}, {Qt::Key_F4, 0x73}}) {
    EXPECT_EQ(platform::VirtualKeyOf(qt), vk);
    EXPECT_EQ(platform::QtKeyOf(vk), qt);
  }
}

TEST(Mouse, ButtonMessagesCarryClientCoordinates) {
  LoggingWindow w;
  w.resize(200, 100);
  QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(12, 34));
  QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(15, 36));
  QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
  EXPECT_EQ(w.log, (std::vector<std::string>{"press 12,34", "release 15,36"}));
}

TEST(RetainedSurface, PaintRunsOnInvalidationOnly) {
  LoggingWindow w;
  w.resize(120, 80);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QApplication::processEvents();
  const int afterShow = w.paints;
  EXPECT_EQ(afterShow, 1);

  // An expose and caret blinks only copy the surface.
  w.CreateCaret(2, 10);
  w.ShowCaret();
  w.repaint();
  QTest::qWait(1200);
  EXPECT_EQ(w.paints, afterShow);

  w.Invalidate(false);
  w.Invalidate(false);  // two invalidations, one paint
  w.repaint();
  EXPECT_EQ(w.paints, afterShow + 1);
  EXPECT_FALSE(w.lastErase);

  w.Invalidate(true);
  w.UpdateWindow();
  EXPECT_EQ(w.paints, afterShow + 2);
  EXPECT_TRUE(w.lastErase);
  w.UpdateWindow();
  EXPECT_EQ(w.paints, afterShow + 2);
}

TEST(RetainedSurface, ClientDrawingStaysUntilTheNextPaint) {
  LoggingWindow w;
  w.resize(60, 40);
  w.UpdateWindow();
  const QRgb before = w.Surface().pixel(30, 30);
  w.GetClientDC()->InvertRect({20, 20, 40, 40});
  EXPECT_NE(w.Surface().pixel(30, 30), before);
  w.repaint();  // an expose keeps it
  EXPECT_NE(w.Surface().pixel(30, 30), before);
  w.Invalidate(true);
  w.UpdateWindow();
  EXPECT_EQ(w.Surface().pixel(30, 30), before);
}

TEST(RetainedSurface, RecorderReceivesPaintAndClientDrawing) {
  LoggingWindow w;
  w.resize(60, 40);
  platform::TRecordingDC recorder;
  w.RecordDrawingInto(&recorder);
  w.Invalidate(true);
  w.UpdateWindow();
  w.GetClientDC()->InvertRect({1, 2, 9, 15});
  ASSERT_EQ(recorder.Calls().size(), 2u);
  EXPECT_EQ(recorder.Calls()[0].text, "hi");
  EXPECT_EQ(recorder.Calls()[1].kind, platform::DrawCall::Kind::Invert);
  EXPECT_EQ(recorder.Calls()[1].width, 8);
  EXPECT_EQ(recorder.Calls()[1].height, 13);
}

TEST(Caret, HideAndShowAreCounted) {
  LoggingWindow w;
  w.CreateCaret(2, 10);
  EXPECT_FALSE(w.CaretVisible());  // a new caret is hidden
  w.ShowCaret();
  EXPECT_TRUE(w.CaretVisible());
  w.HideCaret();
  w.HideCaret();
  w.ShowCaret();
  EXPECT_FALSE(w.CaretVisible());
  w.ShowCaret();
  w.SetCaretPos(4, 20);
  EXPECT_TRUE(w.CaretVisible());
  EXPECT_EQ(w.CaretPos(), (TPoint{4, 20}));
  EXPECT_EQ(w.CaretSize(), (platform::TSize{2, 10}));
  w.DestroyCaret();
  EXPECT_FALSE(w.CaretVisible());
}

TEST(Scroller, PositionsStayInRangeAndPageFollowsTheUnit) {
  LoggingWindow w;
  w.resize(300, 161);
  w.show();  // a hidden window gets its size events when it is shown
  auto scroller = std::make_unique<platform::TScroller>(w, 8, 15, 80, 200);
  platform::TScroller& s = *scroller;
  w.SetScroller(std::move(scroller));
  const int client = w.GetClientRect().Height();
  EXPECT_EQ(s.YPage(), (client + 1) / 15 - 1);
  s.ScrollTo(0, -5);
  EXPECT_EQ(s.YPos(), 0);
  s.ScrollTo(0, 500);
  EXPECT_EQ(s.YPos(), 200);
  s.SetRange(0, 50);
  EXPECT_EQ(s.YPos(), 50);
  s.SetUnits(8, 16);
  w.resize(300, 200);
  EXPECT_EQ(s.YPage(), (w.GetClientRect().Height() + 1) / 16 - 1);
  w.resize(300, 5);
  EXPECT_EQ(s.YPage(), 1);
}

// The wheel over the question list did nothing; only the wheel over its scroll bar scrolled.
// Over the window it now moves by the scroller's line step as the scroll bar does: one unit
// per line, QApplication::wheelScrollLines() lines a notch.
TEST(Scroller, WheelOverTheWindowDidNotScroll) {
  LoggingWindow w;
  w.resize(300, 161);
  w.show();
  auto scroller = std::make_unique<platform::TScroller>(w, 8, 15, 80, 200);
  platform::TScroller& s = *scroller;
  w.SetScroller(std::move(scroller));
  ASSERT_EQ(QApplication::wheelScrollLines(), 3);
  auto wheel = [&](int delta) {
    QWheelEvent event(QPointF(50, 50), w.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &event);
  };
  // Each notch in turn, and the position after it.
  for (auto [delta, position] :
       std::vector<std::pair<int, int>>{{-120, 3}, {-240, 9}, {120, 6}, {1200, 0}}) {
    wheel(delta);
    EXPECT_EQ(s.YPos(), position) << delta;
  }
  EXPECT_TRUE(w.log.empty());
}

TEST(Scroller, PaintingIsShiftedByThePosition) {
  LoggingWindow w;
  w.resize(100, 100);
  auto scroller = std::make_unique<platform::TScroller>(w, 8, 10, 0, 50);
  platform::TScroller& s = *scroller;
  w.SetScroller(std::move(scroller));
  w.UpdateWindow();
  s.ScrollTo(0, 3);
  EXPECT_TRUE(w.NeedsPaint());
  w.UpdateWindow();
  // The text drawn at y = 2 now lies 30 pixels higher, off the surface.
  QImage image = w.Surface();
  bool inked = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) inked = inked || image.pixel(x, y) != qRgb(255, 255, 255);
  EXPECT_FALSE(inked);
}

}  // namespace
