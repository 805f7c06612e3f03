#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/modal.h"
#include "platform/system.h"

namespace {

// What the real message box showed.
struct Seen {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QMessageBox::StandardButton> buttons;
  QString title, text;
};


struct Case {
  unsigned style;
  QMessageBox::Icon icon;
  QList<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton press;
  int result;
};

TEST(MessageBoxStyles, IconsButtonsAndResults) {
  using B = QMessageBox;
  const std::vector<Case> cases = {
      {48, B::Warning, {B::Ok}, B::Ok, platform::IDOK},
      {64, B::Information, {B::Ok}, B::Ok, platform::IDOK},
      {35, B::Question, {B::Yes, B::No, B::Cancel}, B::Yes, platform::IDYES},
      {35, B::Question, {B::Yes, B::No, B::Cancel}, B::No, platform::IDNO},
      {35, B::Question, {B::Yes, B::No, B::Cancel}, B::Cancel, platform::IDCANCEL},
      {36, B::Question, {B::Yes, B::No}, B::No, platform::IDNO},
      {36, B::Question, {B::Yes, B::No}, B::Yes, platform::IDYES},
      {0x41, B::Information, {B::Ok, B::Cancel}, B::Cancel, platform::IDCANCEL},
  };
  for (const Case& c : cases) {
    auto seen = std::make_shared<Seen>();
    QTimer::singleShot(0, [seen, c] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      seen->icon = box->icon();
      seen->title = box->windowTitle();
      seen->text = box->text();
      for (QAbstractButton* b : box->buttons()) seen->buttons.push_back(box->standardButton(b));
      box->button(c.press)->click();
    });
    int result = platform::MessageBox(nullptr, "Do you want to save?", "File has changed", c.style);
    EXPECT_EQ(result, c.result) << c.style;
    EXPECT_EQ(seen->icon, c.icon) << c.style;
    std::sort(seen->buttons.begin(), seen->buttons.end());
    auto expected = c.buttons;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen->buttons, expected) << c.style;
    EXPECT_EQ(seen->title, "File has changed");
    EXPECT_EQ(seen->text, "Do you want to save?");
  }
}

TEST(MessageBoxStyles, EscapeOnAWarningIsOk) {
  QTimer::singleShot(0, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
  });
  EXPECT_EQ(platform::MessageBox(nullptr, "File cannot be found!", "Warning", 48), platform::IDOK);
}

// The import shows its notices while the hourglass is up; the box itself shows the arrow.
TEST(MessageBoxStyles, ABoxShownWhileWaitingHasTheArrow) {
  platform::TWaitCursor wait;
  auto shape = std::make_shared<Qt::CursorShape>(Qt::BlankCursor);
  QTimer::singleShot(0, [shape] {
    *shape = QApplication::overrideCursor()->shape();
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
  platform::MessageBox(nullptr, "Could not open file.", "Information", 64);
  EXPECT_EQ(*shape, Qt::ArrowCursor);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

}  // namespace
