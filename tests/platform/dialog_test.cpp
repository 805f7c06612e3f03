#include <gtest/gtest.h>

#include <cstring>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "core/dialogs.h"
#include "tests/support/scripted_user.h"

namespace {

using testing_support::ScriptedUser;

// Types into a control of the dialog as a person would, key by key.
void Type(platform::TDialog& dialog, int id, const QString& text) {
  QWidget* edit = dialog.Control(id);
  ASSERT_NE(qobject_cast<QLineEdit*>(edit), nullptr) << id;
  QTest::keyClicks(edit, text);
}

// Types letters that QTest cannot spell as key codes, one key event each.
void TypeLetters(platform::TDialog& dialog, int id, const QString& text) {
  QWidget* edit = dialog.Control(id);
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
  }
}

TEST(DialogRecords, SizesFollowTheTemplates) {
  const std::vector<std::pair<const char*, int>> sizes = {
      {"INFODIALOG", 95}, {"DRIVEDLG", 12}, {"PRINTDLG", 20}, {"SDIALOG", 59},
      {"DINTRO", 11}, {"CINTRO", 11}, {"INSERTDIALOG", 11}, {"ABOX", 51}};
  for (auto [name, size] : sizes) {
    const resources::DialogTemplate* t = resources::FindDialog(name);
    ASSERT_NE(t, nullptr) << name;
    EXPECT_EQ(platform::TDialog::RecordSize(*t), size) << name;
  }
}

TEST(DialogRecords, TitlesAndTexts) {
  const std::vector<std::pair<const char*, const char*>> titles = {
      {"INFODIALOG", "Class information"}, {"DRIVEDLG", "Storage Drive"},
      {"PRINTDLG", "Print Options"}, {"SDIALOG", "Search"}, {"DINTRO", "Delete Question"},
      {"CINTRO", "Change Question"}, {"INSERTDIALOG", "Insert Question"}, {"ABOX", "Answer"}};
  for (auto [name, title] : titles) EXPECT_EQ(resources::FindDialog(name)->title, title) << name;
  core::TNumberRecord number{};
  core::TInsertDialog insert(nullptr, &number);
  EXPECT_EQ(qobject_cast<QLabel*>(insert.Control(102))->text(),
            "After which question do you want to insert?");
  EXPECT_EQ(insert.Widget()->windowTitle(), "Insert Question");
}

TEST(InfoDialog, FirstNameTakesTwentyCharacters) {
  ScriptedUser user;
  core::TInfoRecord record{};
  core::TInfoDialog dialog(nullptr, &record);
  user.AnswerDialog(1, [](platform::TDialog& d) {
    Type(d, 101, "Maximiliana Augustina");  // 21 characters
    Type(d, 102, "Okafor");
    Type(d, 103, "Biology");
    Type(d, 104, "3");
    Type(d, 105, "Smith");
  });
  EXPECT_EQ(dialog.Execute(), 1);
  EXPECT_STREQ(record.firstName, "Maximiliana Augustin");
  EXPECT_EQ(std::strlen(record.firstName), 20u);
  EXPECT_STREQ(record.lastName, "Okafor");
  EXPECT_STREQ(record.course, "Biology");
  EXPECT_STREQ(record.period, "3");
  EXPECT_STREQ(record.instructor, "Smith");
  EXPECT_EQ(user.prompts()[0].text, "INFODIALOG");
  EXPECT_EQ(user.prompts()[0].caption, "Class information");
}

// "Łukasz" was shown whole but stored as "ukasz", and a search text of such letters only was
// refused as empty: the edits now refuse what Windows-1252 cannot hold as it is typed or pasted.
TEST(InfoDialog, LettersWindows1252CannotHoldWereShownButSilentlyDropped) {
  ScriptedUser user;
  core::TInfoRecord record{};
  core::TInfoDialog dialog(nullptr, &record);
  QString shownFirst;
  user.AnswerDialog(1, [&](platform::TDialog& d) {
    TypeLetters(d, 101, QString::fromUtf8("Łukasz"));
    TypeLetters(d, 102, QString::fromUtf8("Nowak-Müller"));
    // Pasted text keeps what can be stored, the cursor stays after it.
    auto* course = qobject_cast<QLineEdit*>(d.Control(103));
    course->insert(QString::fromUtf8("Bio→Chem €5"));
    EXPECT_EQ(course->cursorPosition(), 10);
    shownFirst = qobject_cast<QLineEdit*>(d.Control(101))->text();
  });
  EXPECT_EQ(dialog.Execute(), 1);
  EXPECT_EQ(shownFirst, "ukasz");
  EXPECT_STREQ(record.firstName, "ukasz");
  EXPECT_STREQ(record.lastName, "Nowak-M\xFCller");
  EXPECT_STREQ(record.course, "BioChem \x80" "5");

  core::TSearchRecord search{};
  core::TSearchDialog searchDialog(nullptr, &search);
  QString shownSearch = "?";
  user.AnswerDialog(1, [&](platform::TDialog& d) {
    TypeLetters(d, 101, QString::fromUtf8("ŁŚ"));
    shownSearch = qobject_cast<QLineEdit*>(d.Control(101))->text();
  });
  EXPECT_EQ(searchDialog.Execute(), 1);
  EXPECT_EQ(shownSearch, "");
  EXPECT_EQ(search.text[0], '\0');
}

TEST(InfoDialog, CancelLeavesTheRecordAsFilled) {
  ScriptedUser user;
  core::TInfoRecord record{};
  std::strcpy(record.firstName, "Ana");
  core::TInfoRecord before = record;
  core::TInfoDialog dialog(nullptr, &record);
  user.AnswerDialog(2, [](platform::TDialog& d) {
    EXPECT_EQ(d.ControlText(101), "Ana");  // the record is shown on opening
    Type(d, 101, "bel");
    Type(d, 102, "Lopez");
  });
  EXPECT_EQ(dialog.Execute(), 2);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST(SearchDialog, CaseSensitiveRadioGivesZeroAndOne) {
  ScriptedUser user;
  core::TSearchRecord record{};
  record.notCaseSensitive = 1;
  core::TSearchDialog dialog(nullptr, &record);
  user.AnswerDialog(1, [](platform::TDialog& d) {
    EXPECT_TRUE(d.IsChecked(103));
    Type(d, 101, "cell");
    QTest::mouseClick(d.Control(104), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.Execute(), 1);
  EXPECT_STREQ(record.text, "cell");
  EXPECT_EQ(+record.notCaseSensitive, 0);
  EXPECT_EQ(+record.caseSensitive, 1);
}

// A field with no text before it is named for a screen reader by the text after it.
TEST(Dialogs, AFieldIsNamedByTheTextAfterIt) {
  for (const char* name : {"DINTRO", "CINTRO", "INSERTDIALOG", "SDIALOG", "ABOX"}) {
    std::vector<unsigned char> record(64);
    platform::TDialog dialog(nullptr, name, record.data());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.Control(101))->text(QAccessible::Name),
              qobject_cast<QLabel*>(dialog.Control(102))->text()) << name;
  }
}

TEST(NumberDialogs, TenDigitsFitAndAnEleventhCannotBeTyped) {
  ScriptedUser user;
  for (const char* name : {"DINTRO", "CINTRO", "INSERTDIALOG"}) {
    core::TNumberRecord record{};
    platform::TDialog dialog(nullptr, name, &record);
    user.AnswerDialog(1, [](platform::TDialog& d) { Type(d, 101, "12345678901"); });
    EXPECT_EQ(dialog.Execute(), 1);
    EXPECT_STREQ(record.number, "1234567890") << name;
  }
}

TEST(AnswerDialog, FiftyCharactersAreAccepted) {
  ScriptedUser user;
  core::TAnswerRecord record{};
  core::TAnswerDialog dialog(nullptr, &record);
  const QString fifty = QString("photosynthesis ").repeated(4).left(50);
  user.AnswerDialog(1, [&](platform::TDialog& d) { Type(d, 101, fifty + "xyz"); });
  EXPECT_EQ(dialog.Execute(), 1);
  EXPECT_EQ(std::string(record.answer), fifty.toStdString());
}

TEST(DriveDialog, RecordInOrderAndNoCancelButton) {
  ScriptedUser user;
  core::TDriveRecord record{1, 0, 0};
  core::TDriveDialog dialog(nullptr, &record);
  EXPECT_EQ(dialog.Control(2), nullptr);
  EXPECT_FALSE(dialog.Widget()->windowFlags() & Qt::WindowSystemMenuHint);
  user.AnswerDialog(1, [](platform::TDialog& d) {
    EXPECT_TRUE(d.IsChecked(102));
    QTest::mouseClick(d.Control(104), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.Execute(), 1);
  EXPECT_EQ(+record.driveC, 0);
  EXPECT_EQ(+record.driveA, 0);
  EXPECT_EQ(+record.driveB, 1);
}

TEST(DriveDialog, EscapeClosesItWithCancel) {
  core::TDriveRecord record{1, 0, 0};
  core::TDriveDialog dialog(nullptr, &record);
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_EQ(modal, dialog.Widget());
    QTest::mouseClick(dialog.Control(103), Qt::LeftButton);
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  EXPECT_EQ(dialog.Execute(), 2);
  EXPECT_EQ(+record.driveC, 1);
  EXPECT_EQ(+record.driveA, 0);
}

TEST(PrintDialog, FiveIndependentBoxes) {
  ScriptedUser user;
  core::TPrintOptionsRecord record{};
  core::TPrintThisDialog dialog(nullptr, &record);
  user.AnswerDialog(1, [](platform::TDialog& d) {
    for (int id : {102, 104, 105, 106}) QTest::mouseClick(d.Control(id), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.Execute(), 1);
  EXPECT_EQ(+record.course, 1);
  EXPECT_EQ(+record.period, 0);
  EXPECT_EQ(+record.instructor, 1);
  EXPECT_EQ(+record.questionAndAnswer, 1);
  EXPECT_EQ(+record.answerOnly, 1);
}

TEST(Dialogs, OkButtonIsTheDefaultAndReturnAcceptsTheRealDialog) {
  core::TAnswerRecord record{};
  core::TAnswerDialog dialog(nullptr, &record);
  QTimer::singleShot(0, [&] {
    QWidget* edit = dialog.Control(101);
    edit->setFocus();
    QTest::keyClicks(edit, "Paris");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  EXPECT_EQ(dialog.Execute(), 1);
  EXPECT_STREQ(record.answer, "Paris");
}

}  // namespace

namespace {

constexpr const char* kTemplates[] = {"INFODIALOG", "DRIVEDLG", "PRINTDLG", "SDIALOG",
                                      "DINTRO",     "CINTRO",   "INSERTDIALOG", "ABOX"};

// Every control lies where its template puts it, inside the dialog; a picture of each dialog
// is kept in the build tree to look at.
TEST(DialogLook, ControlsWhereTheTemplatePutsThem) {
  const QDir pictures(QUIZ_DIALOG_PICTURES_DIR);
  ASSERT_TRUE(pictures.mkpath("."));
  for (const char* name : kTemplates) {
    std::vector<unsigned char> record(128, 0);
    platform::TDialog dialog(nullptr, name, record.data());
    QDialog* widget = dialog.Widget();
    const QRect inside(QPoint(0, 0), widget->size());
    const resources::DialogTemplate& t = dialog.Template();
    // Dialog units of the dialog's font: a quarter of the average width, an eighth of the height.
    const QFontMetrics metrics(widget->font());
    const double unitX =
        (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) /
        2 / 4.0;
    const double unitY = metrics.height() / 8.0;
    EXPECT_GE(widget->width(), int(t.width * unitX)) << name;
    EXPECT_GE(widget->height(), int(t.height * unitY)) << name;
    for (const resources::ControlTemplate& c : t.controls) {
      QWidget* control = dialog.Control(c.id);
      ASSERT_NE(control, nullptr) << name << " " << c.id;
      EXPECT_NEAR(control->x(), c.x * unitX, 1.0) << name << " " << c.id;
      EXPECT_NEAR(control->y(), c.y * unitY, 1.0) << name << " " << c.id;
      EXPECT_TRUE(inside.contains(control->geometry())) << name << " " << c.id;
    }
    EXPECT_TRUE(widget->grab().save(pictures.filePath(QString("%1.png").arg(name)))) << name;
  }
}

// Our face is wider and taller than the one the templates were sized for: "Print Question
// and Answer" ran into its frame and the box of "Print Answer only" was cut at the bottom.
// No text or box of any template may be cut, and frames hold what they group.
TEST(DialogLook, PrintOptionsTextRanIntoTheFrameAndItsLastBoxWasCut) {
  for (const char* name : kTemplates) {
    std::vector<unsigned char> record(128, 0);
    platform::TDialog dialog(nullptr, name, record.data());
    const resources::DialogTemplate& t = dialog.Template();
    for (const resources::ControlTemplate& c : t.controls) {
      QWidget* control = dialog.Control(c.id);
      if (c.kind == resources::ControlKind::Static || c.kind == resources::ControlKind::Check ||
          c.kind == resources::ControlKind::Radio) {
        EXPECT_GE(control->width(), control->sizeHint().width()) << name << " " << c.id;
        EXPECT_GE(control->height(), control->sizeHint().height()) << name << " " << c.id;
      }
      if (c.kind != resources::ControlKind::Shade) continue;
      for (const resources::ControlTemplate& inner : t.controls) {
        const QRect box = dialog.Control(inner.id)->geometry();
        if (inner.kind != resources::ControlKind::Shade && control->geometry().contains(box.topLeft())) {
          EXPECT_TRUE(control->geometry().contains(box)) << name << " " << inner.id;
        }
      }
    }
  }
  std::vector<unsigned char> record(20, 0);
  platform::TDialog print(nullptr, "PRINTDLG", record.data());
  const QRect frame = print.Control(107)->geometry();
  EXPECT_LT(print.Control(105)->geometry().right(), frame.right());
  EXPECT_LE(print.Control(106)->geometry().bottom(), frame.bottom());
  EXPECT_LT(frame.bottom(), print.Control(1)->geometry().top());
}

}  // namespace
