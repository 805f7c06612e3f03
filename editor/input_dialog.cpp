#include "editor/input_dialog.h"

#include <algorithm>
#include <cstring>

#include "platform/dc.h"

namespace editor {

namespace {
constexpr const char* kHelpFile = "quest.hlp";
}  // namespace

TInputDialog::TInputDialog(QWidget* parent, TEditorHost& host, EditorProgram program)
    : TWindow(parent), host_(host), program_(program) {
  setWindowTitle("Add/Change Question");
  // Created hidden: the main window shows it by making it the client.
  hide();
  pictureDialogData.filter = "Bitmap Files (*.bmp)|*.bmp|";
  pictureDialogData.defaultExt = "bmp";
  pictureDialogData.initialDir.clear();
  pictureDialogData.flags = platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST;
  std::memset(headerText, 0, sizeof headerText);
  std::memset(questionText, 0, sizeof questionText);
  std::memset(answerText, 0, sizeof answerText);
  std::memset(selectionText, 0, sizeof selectionText);
  std::memset(clipText, 0, sizeof clipText);
  std::memset(clipMarks, 0, sizeof clipMarks);
  std::memset(pictureName, 0, sizeof pictureName);
  questionCaret = 0;
  caretX = 4;
  caretY = 20;
  helpOpened = 0;
  dragging = 0;
  SetCursorResource(1);

  Respond(601, [this] { CmCut(); });
  Respond(602, [this] { CmCopy(); });
  Respond(603, [this] { CmPaste(); });
  Respond(604, [this] { CmClear(); });
  Respond(605, [this] { CmUndo(); });
  Respond(607, [this] { CmSubscript(); });
  Respond(608, [this] { CmSuperscript(); });
  Respond(609, [this] { CmNormal(); });
  Respond(701, [this] { CmGraphicAddChange(); });
  Respond(703, [this] { CmGraphicDelete(); });
  Respond(950, [this] { CmHelp(); });

  SetupWindow();
}

TInputDialog::~TInputDialog() { DestroyCaret(); }

void TInputDialog::SetupWindow() {
  editorFont = platform::TFont{"Courier", 10, 400};
  auto dc = GetClientDC();
  dc->SelectFont(editorFont);
  platform::TSize x = dc->GetTextExtent("x");
  dc->RestoreFont();
  charWidth = x.cx;
  lineHeight = x.cy + 3;
  CreateCaret(charWidth / 4, x.cy - 3);
  SetCaretPos(4, 20);
}

void TInputDialog::ResetEditor() {
  if (IsQuizloom()) {
    caretX = 4;
    caretY = 20;
    answerOnly = 0;
    questionMode = 1;
  } else {
    caretX = 4;
    caretY = 370;
    SetCaretPos(caretX, caretY);
    answerOnly = 1;
    questionMode = 0;
  }
  questionCaret = 0;
  answerCaret = 0;
  selEnd = -1;
  selStart = 600;
  dragging = 0;
  shiftDown = 0;
  std::memset(selectionText, 0, sizeof selectionText);
  std::memset(selectionMarks, 0, sizeof selectionMarks);
  // The snapshot is the question as the edit starts, text and marks together, so that
  // Undo before the first key leaves the question as it was instead of emptying it.
  // The buffers end in a terminator whatever the main window wrote into them.
  questionText[kQuestionSize - 1] = '\0';
  answerText[kAnswerSize - 1] = '\0';
  headerText[sizeof headerText - 1] = '\0';
  pictureName[kPictureNameSize - 1] = '\0';
  std::memset(undoText, 0, sizeof undoText);
  std::strcpy(undoText, questionText);
  std::memcpy(undoMarks, questionMarks, sizeof undoMarks);
  undoCaret = 0;
  if (IsQuizloom())
    host_.SetEditorMenu(6);
  else
    host_.SetEditorMenu("MENU_5");
}

void TInputDialog::BeginEditing() {
  ++edition_;
  markNotice_ = nullptr;
  ResetEditor();
  {
    auto dc = GetClientDC();
    dc->SelectFont(editorFont);
    platform::TSize x = dc->GetTextExtent("X");
    dc->RestoreFont();
    charWidth = x.cx;
    lineHeight = x.cy + 3;
  }
  CreateCaret(charWidth / 4, lineHeight - 3);
  setEnabled(true);
  if (answerOnly == 1) {
    answerCaret = 0;
    caretX = 4;
    caretY = 370;
    SetCaretPos(4, 370);
  }
  // A window shown again after being hidden is painted anew, with the fields just filled.
  Invalidate(true);
  ShowCaret();
  setFocus();
}

bool TInputDialog::CanClose() {
  if (helpOpened == 1) platform::WinHelp(this, kHelpFile, platform::HELP_QUIT);
  return true;
}

void TInputDialog::TakeUndoSnapshot() {
  questionText[kQuestionSize - 1] = '\0';
  std::strcpy(undoText, questionText);
  undoCaret = questionCaret;
  std::memcpy(undoMarks, questionMarks, sizeof undoMarks);
}

void TInputDialog::InvertCell(int x, int y) {
  auto dc = GetClientDC();
  dc->InvertRect({x, y, x + charWidth, y + lineHeight - 3});
}

void TInputDialog::ClearSelection() {
  const char* text = ActiveText();
  const int size = ActiveSize();
  const int first = std::max(selStart, 0);
  const int last = std::min(selEnd, size - 1);
  for (int i = first; i <= last; ++i) {
    if (text[i] == '\r' || text[i] == '\n') continue;
    int x = 4;
    int y = ActiveTop();
    PositionOfIndex(i, x, y, text);
    InvertCell(x, y);
  }
  selStart = 600;
  selEnd = -1;
  std::memset(selectionMarks, 0, sizeof selectionMarks);
  std::memset(selectionText, 0, sizeof selectionText);
}

void TInputDialog::CopySelection() {
  // Quizdesk highlights with Shift but never selects: its mark commands act on the caret.
  if (!IsQuizloom()) return;
  std::memset(selectionText, 0, sizeof selectionText);
  const char* text = ActiveText();
  const int32_t* marks = ActiveMarks();
  const int first = std::max(selStart, 0);
  const int last = std::min(selEnd, ActiveSize() - 1);
  int length = 0;
  for (int i = first; i <= last && length < kQuestionSize - 1; ++i, ++length) {
    selectionText[length] = text[i];
    selectionMarks[length] = marks[i];
  }
  ShowEditorMenu(selectionText[0] != '\0' ? 7 : 6);
}

void TInputDialog::ShowEditorMenu(int menu) {
  if (IsQuizloom()) host_.SetEditorMenu(menu);
}

void TInputDialog::Warn(const char* text) {
  platform::MessageBox(this, text, "Warning", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void TInputDialog::PlaceQuestionCaret() {
  caretX = 4;
  caretY = 20;
  PositionOfIndex(questionCaret, caretX, caretY, questionText);
}

void TInputDialog::LoadContent(const core::TQuestion& question) {
  std::memset(questionText, 0, sizeof questionText);
  std::memset(questionMarks, 0, sizeof questionMarks);
  std::memset(answerText, 0, sizeof answerText);
  std::memset(answerMarks, 0, sizeof answerMarks);
  std::memset(pictureName, 0, sizeof pictureName);
  // A zero byte inside a stored text would end it early; the letters before it are kept.
  int length = 0;
  for (const core::TLetter& letter : question.text) {
    if (length == kQuestionSize - 1 || letter.ch == 0) break;
    questionText[length] = static_cast<char>(letter.ch);
    questionMarks[length] = letter.mark;
    ++length;
  }
  length = 0;
  for (const core::TLetter& letter : question.answer) {
    if (length == kAnswerSize - 1 || letter.ch == 0) break;
    answerText[length] = static_cast<char>(letter.ch);
    answerMarks[length] = letter.mark;
    ++length;
  }
  const size_t pictureLength = strnlen(question.picture, sizeof question.picture - 1);
  std::memcpy(pictureName, question.picture, pictureLength);
}

void TInputDialog::StoreContent(core::TQuestion& question) const {
  question.text.clear();
  question.answer.clear();
  for (int i = 0; i < kQuestionSize - 1 && questionText[i] != '\0'; ++i)
    question.text.emplace_back(static_cast<unsigned char>(questionText[i]), questionMarks[i]);
  for (int i = 0; i < kAnswerSize - 1 && answerText[i] != '\0'; ++i)
    question.answer.emplace_back(static_cast<unsigned char>(answerText[i]), answerMarks[i]);
  std::memset(question.picture, 0, sizeof question.picture);
  const size_t pictureLength = strnlen(pictureName, sizeof question.picture - 1);
  std::memcpy(question.picture, pictureName, pictureLength);
}

}  // namespace editor
