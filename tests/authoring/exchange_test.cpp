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
      EXPECT_EQ(got.picture.name, picture ? "cell.png" : "") << i;
      if (picture) {
        EXPECT_EQ(QImage::fromData(got.picture.bytes).convertToFormat(QImage::Format_RGB32),
                  cell.convertToFormat(QImage::Format_RGB32));
      }
    }
  }
}

// Letters as samples::Formatted writes them: '^' raises, '_' lowers, '|' a hard break.
TEST(ExchangeFormat, HandWrittenPlatformFiles) {
  const std::string longAnswer(50, 'a');
  const std::string longText(496, 'x');
  struct Case {
    const char* name;
    std::string input;
    std::vector<std::pair<const char*, const char*>> questions;  // text, answer
    std::vector<int> counts = {};  // other types, no answer, wildcard, text, answer, chars, '?'
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
      {"Moodle XML not well formed", "<quiz>\n<question type=\"shortanswer\">\n</quiz>", {}, {}, 3},
      {"Moodle XML of another kind", "<html><body/></html>", {}, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PlatformImport got = c.input.front() == '<' ? ReadMoodleXml(c.input) : ReadGift(c.input);
    EXPECT_EQ(got.errorLine, c.errorLine) << got.error;
    EXPECT_EQ(got.Failed(), c.errorLine > 0);
    ASSERT_EQ(got.questions.size(), c.questions.size());
    for (std::size_t i = 0; i < c.questions.size(); ++i) {
      const std::string text = c.questions[i].first;
      if (text.find("___") != std::string::npos) EXPECT_EQ(TextOf(got.questions[i].question.text), text);
      else EXPECT_EQ(got.questions[i].question.text, samples::Formatted(text.c_str())) << i;
      EXPECT_EQ(TextOf(got.questions[i].question.answer), c.questions[i].second) << i;
    }
    const std::vector<int> counts = {got.otherTypes,    got.noAnswer,         got.wildcardAnswers,
                                     got.textTooLong,   got.answerTooLong,    got.answerCharacters,
                                     got.replacedCharacters};
    if (!c.counts.empty()) EXPECT_EQ(counts, c.counts);
  }
}

}  // namespace
}  // namespace quizloom
