#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "authoring/exchange_format.h"

namespace quizloom {

namespace {

constexpr char kPluginFile[] = "@@PLUGINFILE@@/";

void WriteTextElement(QXmlStreamWriter& xml, const char* name, const QString& text) {
  xml.writeStartElement(name);
  xml.writeTextElement("text", text);
  xml.writeEndElement();
}

// A platform's star is a wildcard; "\*" is the star itself.
QString EscapeAnswer(const QString& answer) {
  QString escaped = answer;
  return escaped.replace('*', "\\*");
}

QString PlainLetters(const QString& html) {
  static const QRegularExpression kTag("<[^>]*>");
  QString plain = html;
  plain.remove(kTag);
  return plain.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace(
      "&nbsp;", " ").replace("&amp;", "&");
}

struct QuestionText {
  QString text;
  QString format;
  std::vector<ExchangePicture> files;
};

QuestionText ReadQuestionText(QXmlStreamReader& xml) {
  QuestionText result;
  result.format = xml.attributes().value("format").toString().toLower();
  while (xml.readNextStartElement()) {
    if (xml.name() == u"text") {
      result.text = xml.readElementText(QXmlStreamReader::SkipChildElements);
    } else if (xml.name() == u"file") {
      ExchangePicture file;
      file.name = xml.attributes().value("name").toString();
      file.bytes = QByteArray::fromBase64(
          xml.readElementText(QXmlStreamReader::SkipChildElements).toLatin1());
      result.files.push_back(std::move(file));
    } else {
      xml.skipCurrentElement();
    }
  }
  return result;
}

// The file the question's first picture shows, or the first file when no picture names one.
ExchangePicture ShownPicture(QuestionText& text) {
  if (text.files.empty()) return {};
  const qsizetype at = text.text.indexOf(kPluginFile);
  if (at >= 0) {
    const qsizetype start = at + qsizetype(sizeof kPluginFile) - 1;
    qsizetype end = start;
    while (end < text.text.size() && text.text[end] != '"' && text.text[end] != '\'' &&
           text.text[end] != '?')
      ++end;
    const QString name = QUrl::fromPercentEncoding(text.text.mid(start, end - start).toUtf8());
    for (ExchangePicture& file : text.files)
      if (file.name == name) return std::move(file);
  }
  return std::move(text.files.front());
}

void ReadShortAnswer(QXmlStreamReader& xml, PlatformImport& result) {
  QuestionText text;
  std::optional<QString> answer;
  while (xml.readNextStartElement()) {
    if (xml.name() == u"questiontext") {
      text = ReadQuestionText(xml);
    } else if (xml.name() == u"answer") {
      const double fraction = xml.attributes().value("fraction").toDouble();
      const bool html = xml.attributes().value("format") == u"html";
      QString answerText;
      while (xml.readNextStartElement()) {
        if (xml.name() == u"text") answerText = xml.readElementText(QXmlStreamReader::SkipChildElements);
        else xml.skipCurrentElement();
      }
      // An answer written as HTML is compared by its letters.
      if (html) answerText = PlainLetters(answerText);
      if (!answer && fraction >= 99.99) answer = answerText;
    } else {
      xml.skipCurrentElement();
    }
  }
  if (xml.hasError()) return;
  const core::TLetters letters =
      text.format == "plain_text" || text.format == "markdown"
          ? exchange::PlainToLetters(text.text, result.replacedCharacters)
          : exchange::HtmlToLetters(text.text, result.replacedCharacters);
  if (!answer) {
    ++result.noAnswer;
    return;
  }
  exchange::AddShortAnswer(result, letters, *answer, ShownPicture(text));
}

}  // namespace

QByteArray WriteMoodleXml(const core::TList<core::TQuestion>& questions,
                          const std::vector<ExchangePicture>& pictures, ExportReport& report) {
  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.setAutoFormatting(true);
  xml.setAutoFormattingIndent(2);
  xml.writeStartDocument();
  xml.writeStartElement("quiz");
  int number = 0;
  for (const auto& question : questions) {
    const std::size_t index = static_cast<std::size_t>(number++);
    const ExchangePicture* picture =
        index < pictures.size() && !pictures[index].name.isEmpty() ? &pictures[index] : nullptr;
    QString html = exchange::TextToHtml(question->text);
    if (picture && !picture->bytes.isEmpty()) {
      html += "<br><img src=\"" + QString(kPluginFile) +
              QString::fromUtf8(QUrl::toPercentEncoding(picture->name)) + "\">";
    } else if (question->picture[0] != '\0') {
      report.picturesLeft.push_back(number);
    }
    xml.writeStartElement("question");
    xml.writeAttribute("type", "shortanswer");
    WriteTextElement(xml, "name", QString("Question %1").arg(number));
    xml.writeStartElement("questiontext");
    xml.writeAttribute("format", "html");
    xml.writeStartElement("text");
    xml.writeCDATA(html);
    xml.writeEndElement();
    if (picture && !picture->bytes.isEmpty()) {
      xml.writeStartElement("file");
      xml.writeAttribute("name", picture->name);
      xml.writeAttribute("path", "/");
      xml.writeAttribute("encoding", "base64");
      xml.writeCharacters(QString::fromLatin1(picture->bytes.toBase64()));
      xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeTextElement("usecase", "1");
    bool hadMarks = false;
    const QString answer = exchange::AnswerToPlain(question->answer, hadMarks);
    if (hadMarks) report.unmarkedAnswers.push_back(number);
    xml.writeStartElement("answer");
    xml.writeAttribute("fraction", "100");
    xml.writeAttribute("format", "moodle_auto_format");
    xml.writeTextElement("text", EscapeAnswer(answer));
    xml.writeEndElement();
    xml.writeEndElement();
  }
  xml.writeEndElement();
  xml.writeEndDocument();
  return bytes;
}

PlatformImport ReadMoodleXml(std::string_view bytes) {
  PlatformImport result;
  QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (xml.readNextStartElement() && xml.name() != u"quiz") {
    result.errorLine = static_cast<int>(xml.lineNumber());
    result.error = "the file holds no Moodle XML questions";
    return result;
  }
  while (!xml.hasError() && xml.readNextStartElement()) {
    if (xml.name() != u"question") {
      xml.skipCurrentElement();
      continue;
    }
    const QString type = xml.attributes().value("type").toString();
    if (type == "shortanswer") {
      ReadShortAnswer(xml, result);
      continue;
    }
    // A category entry files the questions after it; it is not a question.
    if (type != "category") ++result.otherTypes;
    xml.skipCurrentElement();
  }
  if (xml.hasError()) {
    result.questions.clear();
    result.errorLine = static_cast<int>(xml.lineNumber());
    result.error = xml.errorString().toStdString();
    if (result.error.empty()) result.error = "the XML is not well formed";
  }
  return result;
}

}  // namespace quizloom
