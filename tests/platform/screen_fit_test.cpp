// Both programs at twice the scale: CTest runs this with QT_SCALE_FACTOR=2 on an offscreen
// screen of 1280x1024 pixels, which is 640x512 in the windows' own coordinates.
#include <gtest/gtest.h>

#include <QDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include "authoring/application.h"
#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "editor/input_dialog.h"
#include "gradebook/location_dialog.h"
#include "platform/contrast.h"
#include "platform/dialog.h"
#include "platform/printer.h"
#include "platform/scroller.h"
#include "taking/application.h"
#include "taking/test_window.h"
#include "tests/support/scripted_user.h"

namespace {

// Runs open, which shows one window, modal or not; once the window has its focus, notes where
// it lies and whether it shows where the focus is, then closes it.
std::pair<QRect, bool> Open(const std::function<void()>& open) {
  std::pair<QRect, bool> seen;
  bool done = false;
  QWidgetList before;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) before << w;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* shown = QApplication::activeModalWidget();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (!shown && w->isVisible() && !before.contains(w) && !w->inherits("QMenu")) shown = w;
    if (done || !shown || !shown->focusWidget()) return;
    done = true;
    seen = {shown->frameGeometry(), shown->testAttribute(Qt::WA_KeyboardFocusChange)};
    auto* dialog = qobject_cast<QDialog*>(shown);
    dialog ? dialog->reject() : shown->hide();
  });
  poll.start(20);
  open();
  EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
  return seen;
}

TEST(ScreenFit, EveryWindowAndDialogLiesWithinTheScreenAtTwiceTheScale) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  ASSERT_EQ(screen, QRect(0, 0, 640, 512));
  quizloom::TMyApp loom(false);
  quizdesk::TMyApp desk(false);
  QWidget* quizloom = &loom.Window();
  QWidget* quizdesk = &desk.Window();
  std::vector<unsigned char> record(200, 0);
  QPrinter printer;
  platform::TPrintDialogData pages{1, 3, 1, 3};
  platform::TOpenSaveDialogData file;
  using platform::Modal, platform::TDialog;
  struct TRow {
    const char* name;
    std::function<void()> open;
    bool dialog;  // and so opens with the focus mark shown
  };
  std::vector<TRow> rows = {
      {"Quizloom", [&] { quizloom->show(); }, false},
      {"Quizloom editing", [&] { loom.Window().CmAdd(), quizloom->show(); }, false},
      {"Quizdesk", [&] { quizdesk->show(); }, false},
      {"Help", [&] { platform::WinHelp(quizdesk, "quest.hlp", platform::HELP_CONTENTS); }, false},
      {"Warning", [&] { platform::MessageBox(quizdesk, "Taken!", "Warning", 48); }, true},
      {"Open", [&] { platform::GetOpenFileName(quizdesk, file); }, true},
      {"Save As", [&] { platform::GetSaveFileName(quizloom, file); }, true},
      {"Print", [&] { Modal().PrintDialog(quizloom, printer, pages); }, true},
      {"Preview", [&] { QPrintPreviewDialog p(quizloom); Modal().PrintPreview(quizloom, p); },
       true},
      {"Choose a test", [&] { Modal().ChooseRow(quizloom, "Tests", {"Test"}, {{"A"}}); }, true},
      {"Gradebook Location", [&] {
         gradebook::TGradebookThread thread;
         gradebook::TLocationDialog(quizloom, thread).exec();
       }, true}};
  for (const char* name : {"INFODIALOG", "DRIVEDLG", "PRINTDLG", "SDIALOG", "DINTRO", "CINTRO",
                           "INSERTDIALOG", "ABOX", resources::kPrintingDialog})
    rows.push_back({name, [&, name] { TDialog(quizdesk, name, record.data()).Execute(); }, true});
  for (const auto& row : rows) {
    const auto [frame, focusMarked] = Open(row.open);
    EXPECT_TRUE(screen.contains(frame)) << row.name << " " << QTest::toString(frame);
    if (row.dialog) {
      EXPECT_TRUE(focusMarked) << row.name;
    }
  }

  // Taking a test: the question and the answer line are in view, drawn at the screen's pixels;
  // Quizloom's list scrolls sideways where its lines are wider than the window.
  const std::string sample = QUIZ_SAMPLES_DIR "/sample.tst";
  testing_support::ScriptedUser user;
  user.AnswerDialog(1, [](auto& d) { d.SetControlText(101, "A"), d.SetControlText(102, "L"); });
  user.ChooseFile(sample);
  desk.Window().CmStart();
  quizdesk->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(quizdesk));
  const editor::TInputDialog& editor = *desk.Window().editor;
  const QRect seen = editor.visibleRegion().boundingRect();
  const int cell = editor.charWidth, line = editor.lineHeight;
  EXPECT_TRUE(seen.contains(QRect(4, 370, 49 * cell, line))) << QTest::toString(seen);
  EXPECT_TRUE(seen.contains(QRect(4, 20, 75 * cell, 6 * line))) << QTest::toString(seen);
  EXPECT_TRUE(screen.contains(quizdesk->frameGeometry()));
  EXPECT_EQ(editor.Surface().size(), editor.size() * 2);
  loom.Window().listWindow->OpenFile(sample);
  loom.Window().listWindow->UpdateWindow();
  EXPECT_EQ(loom.Window().listWindow->Surface().devicePixelRatio(), 2);
  EXPECT_GT(loom.Window().listWindow->Scroller()->XRange(), 0);
}

// Text in a selected row and every focus mark against what lies around it, computed from
// the palette the programs run with.
TEST(ScreenFit, SelectionsAndFocusMarksStandOut) {
  quizdesk::TMyApp desk(false);
  const QPalette p = QApplication::palette();
  auto mark = [&](QPalette::ColorRole on) { return platform::FocusMarkColour(p, p.color(on)); };
  const QColor highlight = p.color(QPalette::Highlight);
  const struct {
    const char* pair;
    QColor front, back;
    double least;
  } rows[] = {
      {"selected row", p.color(QPalette::HighlightedText), highlight, 4.5},
      {"selected row, window inactive", p.color(QPalette::Inactive, QPalette::HighlightedText),
       p.color(QPalette::Inactive, QPalette::Highlight), 4.5},
      {"focus mark on the window", mark(QPalette::Window), p.color(QPalette::Window), 3},
      {"focus mark on a field or list", mark(QPalette::Base), p.color(QPalette::Base), 3},
      {"focus mark on a button", mark(QPalette::Button), p.color(QPalette::Button), 3},
      {"focus mark on a selected row", mark(QPalette::Highlight), highlight, 3},
      // The style outlines a focused field, box or button in a darker shade of the highlight.
      {"outline of a focused field on the window", highlight, p.color(QPalette::Window), 3},
      {"outline of a focused field on the field", highlight, p.color(QPalette::Base), 3}};
  for (const auto& row : rows)
    EXPECT_GE(platform::ContrastRatio(row.front, row.back), row.least) << row.pair;
  // Qt's palette stays but for the colours that fail: its selection did, and only it changed.
  const QPalette qt = QApplication::style()->standardPalette();
  EXPECT_LT(platform::ContrastRatio(qt.highlightedText().color(), qt.highlight().color()), 4.5);
  const QPalette readable = platform::ReadablePalette(qt);
  for (int role = 0; role < QPalette::NColorRoles; ++role)
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      const auto r = QPalette::ColorRole(role);
      if (r != QPalette::Highlight || group == QPalette::Disabled) {
        EXPECT_EQ(readable.color(group, r), qt.color(group, r)) << group << " " << role;
      }
    }
}

}  // namespace
