#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "platform/dialog.h"
#include "platform/font.h"
#include "platform/printer.h"
#include "platform/qt_dc.h"
#include "platform/recording_dc.h"
#include "tests/support/scripted_user.h"

namespace {

using platform::MulDiv;
using testing_support::Prompt;
using testing_support::ScriptedUser;

// Three pages, each saying which it is in the printer's fixed-pitch face, left selected as a
// careless printout might leave it.
class PageNamer : public platform::TPrintout {
 public:
  PageNamer() : TPrintout("notes.tst") {}
  void GetDialogInfo(int& minPage, int& maxPage, int& from, int& to) override {
    minPage = from = 1;
    maxPage = to = 3;
  }
  void SetPrintParams(platform::TDC* dc, platform::TSize pageSize) override {
    TPrintout::SetPrintParams(dc, pageSize);
    dc->SelectFont({"Courier New", 0, 400});
  }
  bool HasPage(int page) override { return page <= 3; }
  void PrintPage(int page, platform::TRect&, unsigned) override {
    DC()->TextOut(5, 5, "Page " + std::to_string(page));
  }
};

std::vector<std::string> Texts(const platform::TRecordingDC& dc) {
  std::vector<std::string> texts;
  for (const platform::DrawCall& call : dc.TextCalls()) texts.push_back(call.text);
  return texts;
}

std::vector<Prompt> PrintingPrompts(const ScriptedUser& user) {
  std::vector<Prompt> result;
  for (const Prompt& p : user.prompts())
    if (p.kind == Prompt::Kind::Printing) result.push_back(p);
  return result;
}

TEST(MulDiv, RoundsToNearestWithA64BitIntermediate) {
  struct Case { int a, b, c, expected; };
  const std::vector<Case> cases = {
      {10, 3, 4, 8},       {10, 1, 4, 3},        {5, 1, 2, 3},   {-5, 1, 2, -3}, {7, 1, 3, 2},
      {100, 166, 8, 2075}, {2000000000, 3, 4, 1500000000}, {1, 1, 0, -1},
      {2000000000, 2000000000, 1, -1}, {210, 169, 13, 2730}, {-10, 3, -4, 8}};
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(PrintingResources, StringTableAndPrintingDialog) {
  const std::vector<std::pair<int, std::string>> strings = {
      {32590, " on "},
      {32591, "'%s' not printed. %s."},
      {32592, "Out of memory"},
      {32593, "Out of disk space"},
      {32594, "Printing canceled"},
      {32595, "Printing aborted in Print Manager"},
      {32596, "Error encountered during print"},
      {32597, "Print Error"},
      {32598, ""}};
  for (const auto& [id, text] : strings) EXPECT_EQ(resources::LoadString(id), text) << id;

  platform::TDialog dialog(nullptr, "32599", nullptr);
  EXPECT_EQ(dialog.Title(), "Printing");
  EXPECT_EQ(dialog.ControlText(101), "Now printing Page %d of");
  EXPECT_EQ(dialog.ControlText(102), "'%s' on the");
  EXPECT_EQ(dialog.ControlText(103), "%s on %s");
  EXPECT_NE(dialog.Control(2), nullptr);
}

TEST(PrinterFont, CourierNewAtTheDefaultHeightIsTenPointLiberationMono) {
  const QFont font = platform::ToQFont({"Courier New", 0, 400}, 1200);
  EXPECT_EQ(font.family(), "Liberation Mono");
  EXPECT_EQ(font.pixelSize(), 166);  // 10 pt at 1200 dots per inch
  EXPECT_TRUE(font.fixedPitch());
}

TEST(PrinterDC, AnswersForThePrinter) {
  QTemporaryDir folder;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(folder.filePath("caps.pdf"));
  printer.setPageSize(QPageSize(QPageSize::A4));
  QPainter painter(&printer);
  platform::TQtDC dc(painter, printer.resolution());
  EXPECT_EQ(dc.GetDeviceCaps(platform::LOGPIXELSX), 1200);
  EXPECT_EQ(dc.GetDeviceCaps(platform::HORZRES), printer.width());
  EXPECT_EQ(dc.GetDeviceCaps(platform::VERTRES), printer.height());
  // A question line of 75 columns after its number fits the printable width of A4.
  dc.SelectFont({"Courier New", 0, 400});
  EXPECT_LT(dc.GetTextExtent(std::string(80, 'X')).cx, printer.width());
}

struct PrintCase {
  const char* name;
  int from, to;
  int cancelAt;
  std::vector<int> printed;
  std::vector<std::string> texts;
  bool fileWritten;
  std::string pages = {};  // a page list typed in the Pages box
};

TEST(Printer, PrintsTheChosenPagesOrDiscardsTheJob) {
  const std::vector<PrintCase> cases = {
      {"all", 0, 0, 0, {1, 2, 3}, {"Page 1", "Page 2", "Page 3"}, true},
      {"range", 2, 3, 0, {2, 3}, {"Page 2", "Page 3"}, true},
      {"one page", 3, 3, 0, {3}, {"Page 3"}, true},
      {"cancelled at page 2", 0, 0, 2, {}, {"Page 1"}, false},
      {"cancelled at once", 0, 0, 1, {}, {}, false},
      {"page list", 0, 0, 0, {1, 3}, {"Page 1", "Page 3"}, true, "1,3"},
      {"page list of a range and a page", 0, 0, 0, {1, 2}, {"Page 1", "Page 2"}, true, "2,1"},
      {"page list cancelled at its second page", 0, 0, 3, {}, {"Page 1"}, false, "1,3"},
  };
  for (const PrintCase& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir folder;
    const QString pdf = folder.filePath("notes.pdf");
    platform::TPrinter printer;
    platform::TRecordingDC recorder;
    PageNamer printout;
    {
      ScriptedUser user;
      if (c.pages.empty())
        user.ChoosePrint(pdf.toStdString(), c.from, c.to);
      else
        user.ChoosePrintPages(pdf.toStdString(), c.pages);
      user.CancelPrintingAt(c.cancelAt);
      EXPECT_EQ(printer.Print(nullptr, printout, true), c.fileWritten);
      ASSERT_EQ(user.prompts().front().kind, Prompt::Kind::Print);
      const platform::TPrintDialogData offered = user.prompts().front().printData;
      EXPECT_EQ(std::vector<int>({offered.minPage, offered.maxPage, offered.fromPage,
                                  offered.toPage}),
                std::vector<int>({1, 3, 1, 3}));
      EXPECT_TRUE(user.Messages().empty());
      // The printing dialog is asked about every page before it is drawn.
      const std::vector<Prompt> printing = PrintingPrompts(user);
      ASSERT_FALSE(printing.empty());
      EXPECT_EQ(printing.front().caption, "Printing");
      const int first = c.from > 0 ? c.from : 1;
      EXPECT_EQ(printing.front().text, "Now printing Page " + std::to_string(first) +
                                           " of\n'notes.tst' on the\nnotes.pdf on " +
                                           QDir(folder.path()).dirName().toStdString());
    }
    EXPECT_EQ(printer.PrintedPages(), c.printed);
    // The range chosen stays in the dialog data for the next time.
    if (c.from > 0) {
      EXPECT_EQ(std::vector<int>({printer.DialogData().fromPage, printer.DialogData().toPage,
                                  printer.DialogData().maxPage}),
                std::vector<int>({c.from, c.to, 3}));
    }
    EXPECT_EQ(QFile::exists(pdf), c.fileWritten);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(),
              c.fileWritten ? 1 : 0);
    if (c.fileWritten) {
      // One form feed a page, each page holding its own text: nothing the device context held
      // back spills onto the next sheet.
      QProcess pdftotext;
      pdftotext.start("pdftotext", {pdf, "-"});
      ASSERT_TRUE(pdftotext.waitForFinished());
      std::string expected;
      for (const std::string& text : c.texts) expected += text + "\n\n\f";
      EXPECT_EQ(pdftotext.readAllStandardOutput().toStdString(), expected);
    }
    // The same job into the recorder draws exactly the pages up to the cancelled one.
    printer.RecordDrawingInto(&recorder);
    {
      ScriptedUser user;
      if (c.pages.empty())
        user.ChoosePrint({}, c.from, c.to);
      else
        user.ChoosePrintPages({}, c.pages);
      user.CancelPrintingAt(c.cancelAt);
      printer.Print(nullptr, printout, true);
    }
    EXPECT_EQ(Texts(recorder), c.texts);
  }
}

// The PDF was written through a temporary file readable by its owner alone, and kept that.
TEST(Printer, APdfFileHasTheUsualPermissionsOrThoseOfTheFileItReplaces) {
  const mode_t mask = ::umask(022);
  QTemporaryDir folder;
  const QString fresh = folder.filePath("fresh.pdf");
  const QString shared = folder.filePath("shared.pdf");
  {
    QFile old(shared);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  }
  ASSERT_EQ(::chmod(shared.toLocal8Bit().constData(), 0664), 0);
  for (const QString& pdf : {fresh, shared}) {
    platform::TPrinter printer;
    PageNamer printout;
    ScriptedUser user;
    user.ChoosePrint(pdf.toStdString(), 0, 0);
    ASSERT_TRUE(printer.Print(nullptr, printout, true));
  }
  ::umask(mask);
  struct stat info {};
  ASSERT_EQ(::stat(fresh.toLocal8Bit().constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  ASSERT_EQ(::stat(shared.toLocal8Bit().constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0664u);
}

TEST(Printer, FileThatCannotBeWrittenIsReported) {
  QTemporaryDir folder;
  platform::TPrinter printer;
  PageNamer printout;
  ScriptedUser user;
  user.ChoosePrint(folder.filePath("no such folder/notes.pdf").toStdString()).AnswerMessage();
  EXPECT_FALSE(printer.Print(nullptr, printout, true));
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text, "'notes.tst' not printed. Error encountered during print.");
  EXPECT_EQ(user.Messages()[0].caption, "Print Error");
  EXPECT_EQ(user.Messages()[0].style, platform::MB_OK | platform::MB_ICONHAND);
  EXPECT_TRUE(printer.PrintedPages().empty());
}

TEST(Printer, PreviewShowsThePagesPrintWouldPrintAndItsPrintButtonPrintsThem) {
  QTemporaryDir folder;
  const QString pdf = folder.filePath("preview.pdf");
  platform::TPrinter printer;
  PageNamer printout;
  int previewed = 0;
  ScriptedUser user;
  user.AnswerPreview([&](QPrintPreviewDialog& preview) {
    auto* pages = preview.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    pages->updatePreview();
    previewed = pages->pageCount();
    // What the print button does after Qt's print dialog chose a file and page 2 to 3.
    preview.printer()->setOutputFileName(pdf);
    preview.printer()->setPrintRange(QPrinter::PageRange);
    preview.printer()->setFromTo(2, 3);
    pages->print();
  });
  printer.Preview(nullptr, printout);
  EXPECT_EQ(previewed, 3);
  EXPECT_EQ(printer.PrintedPages(), std::vector<int>({2, 3}));
  EXPECT_TRUE(QFile::exists(pdf));
  EXPECT_EQ(PrintingPrompts(user).size(), 2u);
}

}  // namespace
