#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "authoring/exchange_format.h"
#include "authoring/html_text.h"

namespace quizloom {

namespace {

// Pictures travel as files of the question text, which names them by this and their path.
constexpr QStringView kPluginFile = u"@@PLUGINFILE@@";

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

struct TextFile {
  QString path;  // "/" or "/pics/", as the picture's source names it
  ExchangePicture picture;
};

struct QuestionText {
  QString text;
  exchange::TextFormat format = exchange::TextFormat::AutoFormat;
  std::vector<TextFile> files;
};

// Platforms write "moodle_auto_format" when they name no format.
exchange::TextFormat FormatNamed(QStringView name) {
  if (name == u"html") return exchange::TextFormat::Html;
  if (name == u"plain_text" || name == u"markdown") return exchange::TextFormat::Plain;
  return exchange::TextFormat::AutoFormat;
}

QString FolderPath(QStringView path) {
  QString folder = path.isEmpty() ? QString("/") : path.toString();
  if (!folder.startsWith('/')) folder.prepend('/');
  if (!folder.endsWith('/')) folder += '/';
  return folder;
}

QuestionText ReadQuestionText(QXmlStreamReader& xml) {
  QuestionText result;
  result.format = FormatNamed(xml.attributes().value("format"));
  while (xml.readNextStartElement()) {
    if (xml.name() == u"text") {
      result.text = xml.readElementText(QXmlStreamReader::SkipChildElements);
    } else if (xml.name() == u"file") {
      TextFile& file = result.files.emplace_back();
      file.path = FolderPath(xml.attributes().value("path"));
      file.picture.name = xml.attributes().value("name").toString();
      file.picture.bytes = QByteArray::fromBase64(
          xml.readElementText(QXmlStreamReader::SkipChildElements).toLatin1());
    } else {
      xml.skipCurrentElement();
    }
  }
  return result;
}

// The picture the text shows first, matched by its path and name among the text's files;
// only the name when the file does not hold it. Without a picture in the text, its first
// file.
ExchangePicture ShownPicture(QuestionText& text) {
  const QString source =
      text.format == exchange::TextFormat::Plain ? QString() : exchange::PictureSource(text.text);
  if (source.startsWith(kPluginFile)) {
    QStringView reference = QStringView(source).mid(kPluginFile.size());
    reference.truncate(reference.indexOf(u'?') < 0 ? reference.size() : reference.indexOf(u'?'));
    const QString wanted = QUrl::fromPercentEncoding(reference.toUtf8());
    for (TextFile& file : text.files)
      if (file.path + file.picture.name == wanted) return std::move(file.picture);
  }
  if (!source.isEmpty()) return {exchange::SourceFileName(source), {}};
  if (!text.files.empty()) return std::move(text.files.front().picture);
  return {};
}

// A weight in percent; refused when it is not a number or outside -100..100.
double Fraction(QStringView fraction, bool& refused) {
  if (fraction.isNull()) return 0;
  bool number = false;
  const double weight = fraction.toDouble(&number);
  if (!number || !(weight >= -100 && weight <= 100)) refused = true;
  return weight;
}

void ReadShortAnswer(QXmlStreamReader& xml, PlatformImport& result) {
  QuestionText text;
  exchange::PlatformQuestion read;
  read.anyCase = true;  // unless the question says otherwise
  ExchangePicture legacy;  // older files name a picture and hold its bytes beside the text
  while (xml.readNextStartElement()) {
    const QStringView name = xml.name();
    if (name == u"questiontext") {
      text = ReadQuestionText(xml);
    } else if (name == u"answer") {
      const double weight = Fraction(xml.attributes().value("fraction"), read.refusedWeight);
      const bool html = xml.attributes().value("format") == u"html";
      QString answer;
      while (xml.readNextStartElement()) {
        if (xml.name() == u"text") answer = xml.readElementText(QXmlStreamReader::SkipChildElements);
        else xml.skipCurrentElement();
      }
      // An answer written as HTML is compared by the letters it shows.
      read.answers.emplace_back(html ? exchange::ShownPlainText(answer) : answer, weight);
    } else if (name == u"usecase") {
      read.anyCase = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed() == u"0";
    } else if (name == u"image") {
      legacy.name = exchange::SourceFileName(xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed());
    } else if (name == u"image_base64") {
      legacy.bytes = QByteArray::fromBase64(xml.readElementText(QXmlStreamReader::SkipChildElements).toLatin1());
    } else {
      xml.skipCurrentElement();
    }
  }
  if (xml.hasError()) return;
  read.text = exchange::ShownLetters(text.text, text.format, result.replacedCharacters);
  read.picture = ShownPicture(text);
  if (read.picture.name.isEmpty() && (!legacy.name.isEmpty() || !legacy.bytes.isEmpty())) {
    if (legacy.name.isEmpty()) legacy.name = "picture";
    read.picture = std::move(legacy);
  }
  exchange::AddShortAnswer(result, std::move(read));
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
      html += "<br><img src=\"" + kPluginFile.toString() + '/' +
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
  result.format = ExchangeFormat::MoodleXml;
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
    const QXmlStreamAttributes attributes = xml.attributes();
    const QStringView type = attributes.value("type");
    if (type == u"shortanswer") {
      ReadShortAnswer(xml, result);
      continue;
    }
    // A category entry files the questions after it; it is not a question.
    if (type != u"category") ++result.otherTypes;
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
