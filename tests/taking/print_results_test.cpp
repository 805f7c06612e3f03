#include <functional>
#include <string>
#include <vector>

#include "core/results_codec.h"
#include "platform/printer.h"
#include "platform/recording_dc.h"
#include "class_information.h"
#include "taking_fixture.h"

namespace quizdesk {
namespace {

using testing_support::Prompt;
using testing_support::ScriptedUser;

const char kPrintAgain[] =
    "Do you want to print another set of results from the same drive? If so put the next disk "
    "into the drive and make sure the printer is ready.";
const char kNoResults[] = "There are no test results on the specified drive!!";

// Ann Lee's results of ten questions, eight right: with the question-and-answer blocks, 65
// lines, two pages.
std::vector<uint8_t> TenResults() {
  core::TInformation information;
  FillAnnLee(information, "water.tst");
  const int32_t plain[500] = {};
  for (int i = 1; i <= 10; ++i) {
    const std::string question = "Question " + std::to_string(i);
    information.responses.Add(std::make_unique<core::TResponse>(
        i, i <= 8 ? "A" : "B", "A", question.c_str(), i <= 8 ? 1 : 0, plain, plain, plain));
  }
  return core::EncodeResults(information);
}

// One line per prompt, to compare whole conversations at once.
std::string Describe(const Prompt& p) {
  switch (p.kind) {
    case Prompt::Kind::Dialog: return "dialog " + p.text;
    case Prompt::Kind::Message: return p.caption + " " + std::to_string(p.style) + ": " + p.text;
    case Prompt::Kind::Print:
      return "print pages " + std::to_string(p.printData.minPage) + "-" + std::to_string(p.printData.maxPage);
    case Prompt::Kind::Printing: return "printing page " + std::to_string(p.page);
    default: return "other";
  }
}

// Paper that can take the stick out once a page has been printed.
class Paper : public platform::TRecordingDC {
 public:
  void RestoreFont() override {
    TRecordingDC::RestoreFont();
    if (afterPage) afterPage();
  }
  std::function<void()> afterPage;
};

class PrintResultsTest : public TakingTest {
 protected:
  PrintResultsTest() { window().printer->RecordDrawingInto(&paper); }
  ~PrintResultsTest() override { window().printer->RecordDrawingInto(nullptr); }

  QString DriveA() {
    const QString path = folder.path() + "/stick";
    QDir().mkpath(path);
    qputenv("QUIZDESK_DRIVE_A", path.toUtf8());
    return path;
  }
  static void Write(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }
  std::vector<std::string> Conversation() const {
    std::vector<std::string> lines;
    for (const Prompt& p : user.prompts()) lines.push_back(Describe(p));
    return lines;
  }
  // The printed lines that hold something, rebuilt from the letters drawn one by one.
  std::vector<std::string> PrintedLines() const {
    std::vector<std::string> lines;
    int y = -1;
    for (const platform::DrawCall& call : paper.TextCalls()) {
      if (call.y != y) lines.emplace_back();
      lines.back() += call.text;
      y = call.y;
    }
    return lines;
  }

  Paper paper;
  QString file;  // the results file on the drive chosen
};

void ChooseA(platform::TDialog& d) { d.SetChecked(103, true); }
void CourseAndQuestions(platform::TDialog& d) {
  d.SetChecked(102, true);
  d.SetChecked(105, true);
}

TEST_F(PrintResultsTest, ConversationsOfEachCase) {
  const std::string warning = "Warning 48: ";
  const std::string again = "Print Again 36: " + std::string(kPrintAgain);
  // No option ticked: the header and score lines, one page.
  const std::vector<std::string> printed = {"print pages 1-1", "printing page 1"};
  const auto join = [](std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  const std::vector<std::string> asked = {"dialog DRIVEDLG", "dialog PRINTDLG"};
  const std::vector<uint8_t> ten = TenResults(), none;
  std::vector<uint8_t> damaged = ten;
  damaged.resize(199 + 3018 * 3 + 10);
  const struct {
    const char* name;
    bool onA;
    const std::vector<uint8_t>& contents;  // none: no file on the drive
    bool takenOutWhenPrinted;
    std::function<void(ScriptedUser&)> script;
    std::vector<std::string> conversation;
  } cases[] = {
      {"no file on the drive", false, none, false, [](ScriptedUser& u) { u.AnswerDialog(1).AnswerMessage(); },
       {"dialog DRIVEDLG", warning + kNoResults}},
      {"no file on A:", true, none, false,
       [](ScriptedUser& u) { u.AnswerDialog(1, ChooseA).AnswerMessage(); },
       {"dialog DRIVEDLG", warning + kNoResults}},
      {"drive dialog escaped", false, ten, false, [](ScriptedUser& u) { u.AnswerDialog(2); },
       {"dialog DRIVEDLG"}},
      {"options cancelled", false, ten, false,
       [](ScriptedUser& u) { u.AnswerDialog(1).AnswerDialog(2); }, asked},
      {"C: prints once, without the question", false, ten, false,
       [](ScriptedUser& u) { u.AnswerDialog(1).AnswerDialog(1).ChoosePrint(""); },
       join({asked, printed})},
      {"A: Yes once, then No, prints twice", true, ten, false,
       [](ScriptedUser& u) {
         u.AnswerDialog(1, ChooseA).AnswerDialog(1).ChoosePrint("");
         u.AnswerMessage(platform::IDYES).ChoosePrint("").AnswerMessage(platform::IDNO);
       },
       join({asked, printed, {again}, printed, {again}})},
      {"A: print dialog cancelled, still asked", true, ten, false,
       [](ScriptedUser& u) {
         u.AnswerDialog(1, ChooseA).AnswerDialog(1).CancelPrint().AnswerMessage(platform::IDNO);
       },
       join({asked, {"print pages 1-1", again}})},
      {"C: file vanished after the options, nothing printed", false, ten, false,
       [this](ScriptedUser& u) {
         u.AnswerDialog(1).AnswerDialog(1, [this](platform::TDialog&) { QFile::remove(file); });
         u.AnswerMessage();
       },
       join({asked, {warning + "File cannot be found!"}})},
      {"damaged file, nothing printed", false, damaged, false,
       [](ScriptedUser& u) { u.AnswerDialog(1).AnswerDialog(1).AnswerMessage(); },
       join({asked, {warning + "The results file is damaged or is not a results file."}})},
      {"A: next stick without results, nothing printed, still asked", true, ten, true,
       [](ScriptedUser& u) {
         u.AnswerDialog(1, ChooseA).AnswerDialog(1).ChoosePrint("");
         u.AnswerMessage(platform::IDYES).AnswerMessage().AnswerMessage(platform::IDNO);
       },
       join({asked, printed, {again, warning + "File cannot be found!", again}})},
      {"A: no printer, No prints nothing, still asked", true, ten, false, [](ScriptedUser& u) {
         platform::SetPrinterProbe([] { return std::string("no printer is set up"); });
         u.AnswerDialog(1, ChooseA).AnswerDialog(1).AnswerMessage(platform::IDNO).AnswerMessage(platform::IDNO);
       }, join({asked, {"No Printer 36: No printer can be reached (no printer is set up). Print to a PDF file instead?", again}})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app = std::make_unique<TMyApp>(false);
    window().printer->RecordDrawingInto(&paper);
    user.Forget();
    file = (c.onA ? DriveA() : folder.path()) + "/results.qzr";
    QFile::remove(folder.path() + "/results.qzr");
    QFile::remove(file);
    if (!c.contents.empty()) Write(file, c.contents);
    paper.afterPage = [&] {
      if (c.takenOutWhenPrinted) QFile::remove(file);
    };
    c.script(user);
    window().Command(CM_PRINT_RESULTS);
    platform::SetPrinterProbe([] { return std::string(); });
    EXPECT_EQ(Conversation(), c.conversation);
    EXPECT_TRUE(user.Finished());
  }
}

TEST_F(PrintResultsTest, PrintsTheChosenLinesLetterByLetterOnTwoPages) {
  file = folder.path() + "/results.qzr";
  Write(file, TenResults());
  user.AnswerDialog(1).AnswerDialog(1, CourseAndQuestions).ChoosePrint("");
  window().Command(CM_PRINT_RESULTS);
  EXPECT_EQ(window().printer->PrintedPages(), (std::vector<int>{1, 2}));
  const auto lines = PrintedLines();
  ASSERT_EQ(lines.size(), 45u);  // 65 lines, of which the 20 empty ones draw nothing
  const std::vector<std::string> first = {"Test results for Ann Lee",
                                          "Test taken: water.tst Date: 3/7/1997",
                                          "Course: Biology   ",
                                          "1. Question 1",
                                          "Student Answer: A",
                                          "Correct Answer: A",
                                          "Student was correct."};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), first);
  EXPECT_EQ(lines[lines.size() - 2], "Questions correct: 8 out of 10");
  EXPECT_EQ(lines.back(), "Percent correct: 80 %");
  // Page 2 begins with line 50, the verdict of question 8, at the top.
  const auto calls = paper.TextCalls();
  std::size_t pageTwo = 0;
  for (std::size_t i = 1; i < calls.size(); ++i)
    if (calls[i].y < calls[i - 1].y - 20) pageTwo = i;
  ASSERT_GT(pageTwo, 0u);
  EXPECT_EQ(std::to_string(calls[pageTwo].x) + "," + std::to_string(calls[pageTwo].y) + " " +
                calls[pageTwo].text, "5,9 S");
  // Each page selects the printer face at the device's default size and restores it.
  std::vector<std::string> fonts;
  for (const platform::DrawCall& call : paper.Calls())
    if (call.kind == platform::DrawCall::Kind::SelectFont)
      fonts.push_back(call.text + " " + std::to_string(call.height));
  EXPECT_EQ(fonts, std::vector<std::string>(2, "Courier New 0"));
  EXPECT_EQ(paper.SelectedFonts(), 0);
  EXPECT_TRUE(user.Finished());
}

}  // namespace
}  // namespace quizdesk
