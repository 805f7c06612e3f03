#include "platform/edit_file.h"

#include <algorithm>

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "platform/cp1252.h"
#include "platform/font.h"

namespace platform {

namespace {

bool Holds(const QString& text) {
  for (char32_t c : text.toUcs4())
    if (!ToCp1252Char(c)) return false;
  return true;
}

// What the old control could hold: line ends of any kind as one, '?' for the rest.
QString Holdable(const QString& text) {
  QString result;
  result.reserve(text.size());
  const QList<uint> codePoints = text.toUcs4();
  for (qsizetype i = 0; i < codePoints.size(); ++i) {
    const char32_t c = codePoints[i];
    if (c == '\r' && i + 1 < codePoints.size() && codePoints[i + 1] == '\n') continue;
    if (c == '\r' || c == '\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
      result.append('\n');
    else if (auto byte = ToCp1252Char(c); byte && c != 0)
      result.append(QChar(c));
    else
      result.append('?');
  }
  return result;
}

// Typing and pasting let in only characters of the stored code page, as in the question
// editor: the text is always what the bytes will be.
class TPlainEdit : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    // Alt combinations are system keys, as in every window of ours: the menu bar and the
    // accelerators take them, the text never does.
    if (event->modifiers() & Qt::AltModifier) {
      event->ignore();
      return;
    }
    if (!event->text().isEmpty() && !Holds(event->text())) {
      event->accept();
      return;
    }
    // Shift+Enter would insert a line separator inside the line, which the old control never
    // had: it makes an ordinary line end, counted and cut out as one.
    if (event->matches(QKeySequence::InsertLineSeparator)) {
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
      QPlainTextEdit::keyPressEvent(&enter);
      return;
    }
    QPlainTextEdit::keyPressEvent(event);
  }
  void inputMethodEvent(QInputMethodEvent* event) override {
    if (!Holds(event->commitString())) event->setCommitString({});
    QPlainTextEdit::inputMethodEvent(event);
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (source->hasText()) insertPlainText(Holdable(source->text()));
  }
};

// A selection's text as the old control gave it: a line end is carriage return and line feed.
std::string OldText(const QString& selected) {
  std::string text;
  text.reserve(static_cast<std::size_t>(selected.size()));
  for (QChar c : selected) {
    if (c == QChar::ParagraphSeparator) {
      text += "\r\n";
      continue;
    }
    // Nothing else can be in the window; a stray character keeps its place as '?'.
    auto byte = ToCp1252Char(c.unicode());
    text.push_back(byte ? static_cast<char>(*byte) : '?');
  }
  return text;
}

}  // namespace

TEditFile::TEditFile(QWidget* parent) : TWindow(parent), edit_(new TPlainEdit(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit_);
  edit_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit_->setFont(ToQFont(TFont{}, logicalDpiY()));
  setFocusProxy(edit_);
}

TEditFile::~TEditFile() = default;

void TEditFile::SetText(std::string_view text) {
  edit_->setPlainText(FromCp1252(text));
  edit_->moveCursor(QTextCursor::Start);
  edit_->horizontalScrollBar()->setValue(0);
  edit_->verticalScrollBar()->setValue(0);
}

std::string TEditFile::GetText() const {
  QTextCursor all(edit_->document());
  all.select(QTextCursor::Document);
  return OldText(all.selectedText());
}

int TEditFile::OldPosition(int position) const {
  return position + edit_->document()->findBlock(position).blockNumber();
}

int TEditFile::NewPosition(int oldPosition) const {
  QTextBlock block = edit_->document()->firstBlock();
  for (;;) {
    const int lineStart = block.position() + block.blockNumber();
    const int lineLength = block.length() - 1;
    if (oldPosition < lineStart + lineLength + 2 || !block.next().isValid())
      return block.position() + std::clamp(oldPosition - lineStart, 0, lineLength);
    block = block.next();
  }
}

void TEditFile::GetSelection(int& start, int& end) const {
  const QTextCursor cursor = edit_->textCursor();
  start = OldPosition(cursor.selectionStart());
  end = OldPosition(cursor.selectionEnd());
}

void TEditFile::SetSelection(int start, int end) {
  QTextCursor cursor(edit_->document());
  cursor.setPosition(NewPosition(start));
  cursor.setPosition(NewPosition(end), QTextCursor::KeepAnchor);
  edit_->setTextCursor(cursor);
}

std::string TEditFile::GetSelectedText() const {
  return OldText(edit_->textCursor().selectedText());
}

void TEditFile::DeleteSelection() { edit_->textCursor().removeSelectedText(); }

}  // namespace platform
