#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "authoring/exchange_format.h"
#include "authoring_fixture.h"
#include "platform/bitmap.h"
#include "samples/sample_test.h"

namespace quizloom {
namespace {

const std::string kSamples = QUIZ_SAMPLES_DIR;
const std::string kData = QUIZ_EXCHANGE_DIR;

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

// A mismatch leaves what was made beside the test, to compare by hand.
void ExpectFixture(const QByteArray& made, const std::string& name) {
  if (made.toStdString() == ReadText(kData + "/" + name)) return;
  QFile actual(QString::fromStdString(name + ".actual"));
  if (actual.open(QIODevice::WriteOnly)) actual.write(made);
  ADD_FAILURE() << name << " differs; see " << name << ".actual";
}

std::vector<ExchangePicture> SamplePictures(const core::TList<core::TQuestion>& questions) {
  std::vector<ExchangePicture> pictures(static_cast<std::size_t>(questions.Count()));
  for (int i = 0; i < questions.Count(); ++i) {
    if (!questions[i].picture[0]) continue;
    pictures[std::size_t(i)].name = "cell.png";
    QBuffer buffer(&pictures[std::size_t(i)].bytes);
    buffer.open(QIODevice::WriteOnly);
    platform::TBitmap::FromFile(kSamples + "/" + questions[i].picture).Image().save(&buffer, "PNG");
  }
  return pictures;
}

core::TLetters Unmarked(core::TLetters letters) {
  for (core::TLetter& letter : letters) letter.mark = core::kNormal;
  return letters;
}

// The sample test's exports are the fixtures; read back they give the same questions, but
// for answers' marks and, through GIFT, the picture.
TEST(ExchangeFormat, SampleExportsMatchFixturesAndReadBackAsTheSameTest) {
  core::TList<core::TQuestion> sample;
  samples::BuildSampleTest(sample);
  ExportReport gift, xml;
  const QByteArray giftBytes = WriteGift(sample, gift);
  const QByteArray xmlBytes = WriteMoodleXml(sample, SamplePictures(sample), xml);
  ExpectFixture(giftBytes, "sample.gift");
  ExpectFixture(xmlBytes, "sample.xml");
  const std::vector<int> marked = {1, 2, 3, 5, 7, 9};
  EXPECT_EQ(gift.unmarkedAnswers, marked);
  EXPECT_EQ(xml.unmarkedAnswers, marked);
  EXPECT_EQ(gift.picturesLeft, std::vector<int>{8});
  EXPECT_TRUE(xml.picturesLeft.empty());

  const QImage cell = platform::TBitmap::FromFile(kSamples + "/cell.bmp").Image();
  for (bool viaXml : {false, true}) {
    SCOPED_TRACE(viaXml ? "Moodle XML" : "GIFT");
    const QByteArray& bytes = viaXml ? xmlBytes : giftBytes;
    const PlatformImport back = viaXml ? ReadMoodleXml(bytes.toStdString())
                                       : ReadGift(bytes.toStdString());
    ASSERT_FALSE(back.Failed()) << back.errorLine << ": " << back.error;
    ASSERT_EQ(back.questions.size(), std::size_t(sample.Count()));
    for (int i = 0; i < sample.Count(); ++i) {
      const ImportedQuestion& got = back.questions[std::size_t(i)];
      EXPECT_EQ(got.question.text, sample[i].text) << i;
      EXPECT_EQ(got.question.answer, Unmarked(sample[i].answer)) << i;
      const bool picture = viaXml && sample[i].picture[0];
      // GIFT names the picture only, and the import says it did not come.
      const char* name = !sample[i].picture[0] ? "" : viaXml ? "cell.png" : "cell.bmp";
      EXPECT_EQ(got.picture.name, name) << i;
      if (picture) {
        EXPECT_EQ(QImage::fromData(got.picture.bytes).convertToFormat(QImage::Format_RGB32),
                  cell.convertToFormat(QImage::Format_RGB32));
      }
    }
  }
}

// A Moodle XML short answer: its HTML, the files beside it, then the rest of the question.
std::string ShortAnswer(const std::string& html, const std::string& files = "",
                        const std::string& rest = "<usecase>1</usecase><answer fraction=\"100\"><text>x</text></answer>") {
  return "<question type=\"shortanswer\"><questiontext format=\"html\"><text><![CDATA[" + html +
         "]]></text>" + files + "</questiontext>" + rest + "</question>";
}

// Letters as samples::Formatted writes them: '^' raises, '_' lowers, '|' a hard break.
TEST(ExchangeFormat, HandWrittenPlatformFiles) {
  const std::string longAnswer(50, 'a');
  const std::string longText(496, 'x');
  auto utf16 = [](const std::string& latin1) {
    std::string bytes = "\xff\xfe";
    for (char c : latin1) bytes += {c, '\0'};
    return bytes;
  };
  struct Expected {
    const char* text;
    const char* answer;
    const char* picture = "";  // "name:bytes"
  };
  struct Case {
    const char* name;
    std::string input;
    std::vector<Expected> questions;
    // other types, no answer, wildcard, text, answer, chars, '?', weights: as many as given
    std::vector<int> counts = {};
    int errorLine = 0;
  } cases[] = {
      {"GIFT escapes, a title, comments and a category",
       "// a comment\n$CATEGORY: $course$/Science\n\n::Q1:: Ratio 1\\:2 \\{x\\} \\= 50\\% \\\\ "
       "{=a\\#b\\*c#well done}\n",
       {{"Ratio 1:2 {x} = 50\\% \\", "a#b*c"}}},
      {"GIFT HTML: marks, breaks, entities, other tags", 
       "[html]<p>H<sub>2</sub>O &amp; x<sup>2</sup></p><p><b>two</b><br>lines &lt;&#233;&gt;</p>"
       "{=%100%H2O =%50%water}",
       {{"H_2O & x^2|two|lines <\xe9>", "H2O"}}},
      {"GIFT other types and a description are counted, weights choose the answer",
       "Pick {~a =b}\n\nTrue? {T}\n\nEssay {}\n\nNumber {#3:1}\n\nMatch {=a -> b =c -> d}\n\n"
       "Just text\n\nHalf {=%50%no =%100%yes}\n\nNone {=%50%half}",
       {{"Half", "yes"}}, {6, 1, 0, 0, 0, 0, 0}},
      {"GIFT limits: wildcard, long answer, long text, unheld answer, replaced text",
       "W {=Par*}\n\nA {=" + longAnswer + "}\n\n" + longText + " {=x}\n\nU {=\xe2\x88\x9a}\n\n"
       "Root \xe2\x88\x9a" "2 {=1.41}",
       {{"Root ?2", "1.41"}}, {0, 0, 1, 1, 1, 1, 1}},
      {"GIFT answer inside the sentence", "The capital {=Paris} is big.",
       {{"The capital _____ is big.", "Paris"}}},
      {"GIFT unclosed answers", "Fine {=a}\n\n// note\nBroken {=b\n\nStill {=c}", {}, {}, 4},
      {"GIFT stray brace", "One } two {=a}", {}, {}, 1},
      {"Moodle XML short answers, other types and a category",
       "<?xml version=\"1.0\"?>\n<quiz>\n<question type=\"category\"><category><text>$course$/A"
       "</text></category></question>\n<question type=\"multichoice\"><answer fraction=\"100\">"
       "<text>x</text></answer></question>\n<question type=\"shortanswer\"><name><text>n</text>"
       "</name><questiontext format=\"html\"><text><![CDATA[<p>CO<sub>2</sub> is a\n  gas</p>]]>"
       "</text></questiontext><answer fraction=\"50\"><text>no</text></answer><answer "
       "fraction=\"100.0000000\"><text>yes \\*</text></answer></question>\n<question "
       "type=\"shortanswer\"><questiontext format=\"plain_text\"><text>a &lt;b&gt;\nc</text>"
       "</questiontext><answer fraction=\"100\"><text>d</text></answer></question></quiz>",
       {{"CO_2 is a gas", "yes *"}, {"a <b>|c", "d"}}, {1, 0, 0, 0, 0, 0, 0}},
      {"Moodle XML answer written as HTML",
       "<quiz><question type=\"shortanswer\"><questiontext><text>Q</text></questiontext><answer "
       "fraction=\"100\" format=\"html\"><text>&lt;p&gt;a &amp;amp; b&lt;/p&gt;</text></answer>"
       "</question></quiz>",
       {{"Q", "a & b"}}},
      {"Moodle XML not well formed", "<quiz>\n<question type=\"shortanswer\">\n</quiz>", {}, {}, 3},
      {"Moodle XML of another kind", "<?xml version=\"1.0\"?>\n<html><body/></html>", {}, {}, 2},
      {"HTML 5's references, legacy names without ';' and numbers as Windows-1252",
       "[html]Caf&eacute; &euro;5 &ndash; &pi;r&sup2; &notit; &AMP &#150;&#x20AC {=a}",
       {{"Caf\xe9 \x80" "5 \x96 ?r\xb2 \xacit; & \x96\x80", "a"}}, {0, 0, 0, 0, 0, 0, 1}},
      {"HTML blocks end lines, cells are spaced, script, style and comments go",
       "<quiz>" + ShortAnswer(" <script>x()</script><style>p{}</style><!-- c --><h1>Heading</h1><ul>"
                              "<li>first</li><li>second</li></ul><table><tr><td>a</td><td>b</td></tr></table> ") +
           "</quiz>",
       {{"Heading|first|second|a b", "x"}}},
      {"GIFT as a platform reads it: {One}, blanks as typed, line ends, \"->\" without \"=\"",
       "<b>How</b> do you write the word for the number 1? {One}\n\nThe answer equals {=4}.\n\n{=Water} is wet."
       "\n\nLine one\nline two {a->b}\n\n[plain]a <b>\nc {=d}",
       {{"How do you write the word for the number 1?", "One"}, {"The answer equals _____.", "4"},
        {"_____ is wet.", "Water"}, {"Line one|line two", "a->b"}, {"a <b>|c", "d"}}},
      {"GIFT weights: an explicit full weight, refused weights, a '%' beginning none",
       "A {=%100%%132%c}\n\nB {=%abc%x}\n\nC {=%-101%x =y}\n\nD {=%50 off}",
       {{"A", "%132%c"}, {"D", "%50 off"}}, {0, 0, 0, 0, 0, 0, 0, 2}},
      {"Regression: a fuzzer's GIFT answer weighted 494% was taken for full marks",
       QByteArray::fromBase64("PJQBAFx7IHs9JVwqYCNmID0lNDk0JSUxMzIlY31Gczw+L3UqcYhv6QoK////").toStdString(),
       {}, {1, 0, 0, 0, 0, 0, 2, 1}},
      {"Windows-1252 GIFT", "Stra\xdf" "e {=Stra\xdf" "e}", {{"Stra\xdf" "e", "Stra\xdf" "e"}}},
      {"UTF-16 Moodle XML", utf16("<quiz>" + ShortAnswer("caf\xe9") + "</quiz>"), {{"caf\xe9", "x"}}},
      {"Moodle XML pictures: by path and name, legacy, one not in the file",
       "<quiz>" +
           ShortAnswer("<img src=\"@@PLUGINFILE@@/pics/sub.png\">a", "<file name=\"other.png\" path=\"/\">"
                       "b3RoZXI=</file><file name=\"sub.png\" path=\"/pics/\">c3Vi</file>") +
           ShortAnswer("b", "", "<image>old/pic.png</image><image_base64>cGlj</image_base64><answer "
                                "fraction=\"100\"><text>x</text></answer>") +
           ShortAnswer("c<IMG alt='>' SRC=\"http://x.org/a%20b.svg?v=1\">") + "</quiz>",
       {{"a", "x", "sub.png:sub"}, {"b", "x", "pic.png:pic"}, {"c", "x", "a b.svg:"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PlatformImport got = ReadPlatformFile(c.input);
    EXPECT_EQ(got.errorLine, c.errorLine) << got.error;
    EXPECT_EQ(got.Failed(), c.errorLine > 0);
    ASSERT_EQ(got.questions.size(), c.questions.size());
    for (std::size_t i = 0; i < c.questions.size(); ++i) {
      const std::string text = c.questions[i].text;
      if (text.find("___") != std::string::npos) EXPECT_EQ(TextOf(got.questions[i].question.text), text);
      else EXPECT_EQ(got.questions[i].question.text, samples::Formatted(text.c_str())) << i;
      EXPECT_EQ(TextOf(got.questions[i].question.answer), c.questions[i].answer) << i;
      const ExchangePicture& picture = got.questions[i].picture;
      EXPECT_EQ(picture.name.isEmpty() ? "" : (picture.name + ':' + picture.bytes).toStdString(),
                c.questions[i].picture) << i;
    }
    std::vector<int> counts = {got.otherTypes,    got.noAnswer,         got.wildcardAnswers,
                               got.textTooLong,   got.answerTooLong,    got.answerCharacters,
                               got.replacedCharacters, got.refusedWeights};
    counts.resize(c.counts.size());
    EXPECT_EQ(counts, c.counts);
  }
}

class ExchangeCommandsTest : public AuthoringTest {
 protected:
  // The sample test open from its file in the folder, its picture beside it.
  void OpenSample() {
    QFile::copy(QString::fromStdString(kSamples + "/cell.bmp"), folder.filePath("cell.bmp"));
    samples::BuildSampleTest(questions());
    test().fileName = Path("sample.tst");
    window().SetMenu("MENU_1");
  }
  std::string OnlyMessage() {
    const std::vector<testing_support::Prompt> messages = user.Messages();
    EXPECT_EQ(messages.size(), 1u);
    return messages.empty() ? "" : messages[0].caption + ": " + messages[0].text;
  }
};

TEST_F(ExchangeCommandsTest, ExportWritesTheChosenTypeBesideTheTestAndSaysWhatWasLost) {
  OpenSample();
  const std::string giftNotice =
      "Export: 12 questions were written to \"sample.gift\".\n\n6 answers lost raised or lowered "
      "letters, which platforms cannot compare (questions 1, 2, 3, 5, 7, 9).\n\n1 question shows "
      "a picture that GIFT cannot carry; only the picture's name is written.\n\nA platform "
      "reading GIFT ignores capital letters and spaces around an answer, where Quizdesk judges "
      "the exact letters. Moodle XML keeps the exact letters.";
  const std::string xmlNotice =
      "Export: 12 questions were written to \"quiz.xml\".\n\n6 answers lost raised or lowered "
      "letters, which platforms cannot compare (questions 1, 2, 3, 5, 7, 9).";
  struct Case {
    std::string chosen;
    int type;
    std::string proposed, written, fixture, notice;
  } cases[] = {
      {Path("sample"), 1, Path("sample.gift"), Path("sample.gift"), "sample.gift", giftNotice},
      {Path("quiz"), 2, Path("sample.gift"), Path("quiz.xml"), "sample.xml", xmlNotice},
      {Path("quiz.xml"), 1, Path("sample.xml"), Path("quiz.xml"), "sample.xml", xmlNotice},
  };
  const QString current = QDir::currentPath();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    user.Forget();
    user.ChooseFile(c.chosen, c.type).AnswerMessage();
    window().Command(CM_EXPORT);
    ASSERT_FALSE(user.prompts().empty());
    const platform::TOpenSaveDialogData& dialog = user.prompts()[0].fileData;
    EXPECT_EQ(dialog.fileName, c.proposed);
    EXPECT_EQ(dialog.filter, "GIFT Files (*.gift)|*.gift|Moodle XML Files (*.xml)|*.xml|");
    EXPECT_EQ(dialog.flags, 0x0808u);
    EXPECT_EQ(user.prompts()[0].fileKind, platform::FileDialogKind::Save);
    EXPECT_EQ(ReadText(c.written), ReadText(kData + "/" + c.fixture));
    EXPECT_EQ(OnlyMessage(), c.notice);
    EXPECT_EQ(QDir::currentPath(), current);
    EXPECT_EQ(test().modified, 0);
  }
  // "->" makes a matching question of a GIFT answer; a leading "%132%" keeps behind a full weight.
  questions().Add(MakeQuestion("Burning", "2H2+O2->2H2O"));
  questions().Add(MakeQuestion("Odd", "%132%c"));
  user.Forget();
  user.ChooseFile(Path("more.gift")).AnswerMessage();
  window().Command(CM_EXPORT);
  EXPECT_NE(OnlyMessage().find("\n\n1 answer holds \"->\", which a platform reading GIFT takes for a "
                               "matching question (question 13); export to Moodle XML to keep it.\n\n"),
            std::string::npos);
  EXPECT_NE(ReadText(Path("more.gift")).find("::Question 14:: [html]Odd {=%100%%132%c}"), std::string::npos);
  user.Forget();
  user.ChooseFile(Path("missing/quiz.gift")).AnswerMessage();
  window().Command(CM_EXPORT);
  EXPECT_EQ(OnlyMessage().rfind("Export: \"quiz.gift\" could not be written. ", 0), 0u);
}

// What a platform file brings is appended, with its pictures stored beside the test; a file
// that cannot be taken whole leaves the test, and the folder, as they were.
TEST_F(ExchangeCommandsTest, ImportFromPlatformAppendsAllOrNothing) {
  GiveQuestions(2, Path("five.tst"));
  QImage(1, 1, QImage::Format_RGB32).save(folder.filePath("cell.bmp"));  // another picture
  const std::string xml = ReadText(kData + "/sample.xml");
  std::string broken = xml;
  broken.replace(broken.find("iVBOR"), 5, "AAAA");
  const std::string sevenParagraphs = "<p>1</p><p>2</p><p>3</p><p>4</p><p>5</p><p>6</p><p>7</p>";
  struct Case {
    std::string content;
    std::string message;
    int added;
    std::string pictures = "cell.bmp";
  } cases[] = {
      {"Pick {~a =b}\n\nW {=a*}\n\nOK {=yes}",
       "Import From Platform: 1 question was added.\n\nSkipped:\n1 of a type other than short answer\n"
       "1 with a \"*\" wildcard in the answer\n\nThe platform judged these answers in any letter case. "
       "Quizdesk judges the exact letters.", 1},
      {"Fine {=a}\n\nBroken {=b",
       "Import From Platform: \"in.txt\" cannot be read: line 3: a \"{\" is never closed. Nothing was "
       "added.", 0},
      {broken, "Import From Platform: 12 questions were added.\n\n1 question was added without a picture "
               "that could not be read or was not in the file: \"cell.png\" (question 11).", 12},
      {"", "Import From Platform: 0 questions were added.", 0},
      {xml, "Import From Platform: 12 questions were added.", 12, "cell-2.bmp cell.bmp"},
      {"<?xml version=\"1.0\"?><quiz>" +
           ShortAnswer("w", "", "<answer fraction=\"494\"><text>a</text></answer>") +
           ShortAnswer("no", "", "<usecase>0</usecase><answer fraction=\"100\"><text>no one</text></answer>"
                                 "<answer fraction=\"100\"><text>nobody</text></answer>") +
           ShortAnswer("s<img src=\"@@PLUGINFILE@@/x.svg\">", "<file name=\"x.svg\">bm90IGEgcGljdHVyZQ==</file>") +
           ShortAnswer(sevenParagraphs) + "</quiz>",
       "Import From Platform: 3 questions were added.\n\nSkipped:\n1 with an answer weight that platforms "
       "refuse (a number from -100 to 100 is needed)\n\n1 question had other answers worth 100%, which "
       "were not kept: only the first is the answer (question 28).\n\n1 answer was judged in any letter "
       "case on the platform (question 28). Quizdesk judges the exact letters.\n\n1 question had more "
       "lines than a test holds; line breaks became spaces until it fitted (question 30).\n\n1 question "
       "was added without a picture that could not be read or was not in the file: \"x.svg\" (question "
       "29).", 3, "cell-2.bmp cell.bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const int before = questions().Count();
    QFile file(folder.filePath("in.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.content.data(), qint64(c.content.size()));
    file.close();
    user.Forget();
    user.ChooseFile(Path("in.txt")).AnswerMessage();
    window().Command(CM_IMPORT_FROM_PLATFORM);
    EXPECT_EQ(OnlyMessage(), c.message);
    EXPECT_EQ(questions().Count(), before + c.added);
    EXPECT_EQ(test().modified, questions().Count() > 2 ? 1 : 0);
    const QStringList pictures = QDir(folder.path()).entryList({"*.bmp"});
    EXPECT_EQ(pictures.join(' ').toStdString(), c.pictures);
  }
  // The sample's picture came back under a new name: the other cell.bmp is left alone.
  EXPECT_STREQ(questions()[15 + 7].picture, "cell-2.bmp");
  EXPECT_EQ(TextOf(questions()[29].text), "1 2\r3\r4\r5\r6\r7");
  auto pixels = [&](const std::string& path) {
    return platform::TBitmap::FromFile(path).Image().convertToFormat(QImage::Format_RGB32);
  };
  EXPECT_EQ(pixels(Path("cell-2.bmp")), pixels(kSamples + "/cell.bmp"));
  EXPECT_EQ(pixels(Path("cell.bmp")).size(), QSize(1, 1));
  EXPECT_EQ(Menu(), "MENU_1");
  QFile large(folder.filePath("large.xml"));
  ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(50 * 1024 * 1024));
  large.close();
  user.Forget();
  user.ChooseFile(Path("large.xml")).AnswerMessage();
  window().Command(CM_IMPORT_FROM_PLATFORM);
  EXPECT_EQ(OnlyMessage(), "Import From Platform: \"large.xml\" is too large: a platform file of at "
                           "most 32 MB can be imported. Nothing was added.");
}

}  // namespace
}  // namespace quizloom
