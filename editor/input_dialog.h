#pragma once
#include <cstdint>

#include "core/records.h"
#include "editor/cell_geometry.h"
#include "editor/editor_host.h"
#include "platform/font.h"
#include "platform/modal.h"
#include "platform/window.h"

namespace editor {

// The question editor: a teacher types a question and its answer in it, a student an answer.
// The main window fills the content fields, makes the editor its client and calls
// BeginEditing; on OK it reads the content fields back.
//
// Its implementation is split by role: input_dialog.cpp (set-up, undo, selection),
// editor_typing.cpp (characters), editor_commands.cpp (menu commands and deletion),
// editor_keys.cpp (caret keys and mouse), editor_paint.cpp (painting).
class TInputDialog : public platform::TWindow {
 public:
  TInputDialog(QWidget* parent, TEditorHost& host, EditorProgram program);
  ~TInputDialog() override;

  void BeginEditing();
  bool CanClose() override;

  // Copies a stored question into the content fields, cut to what the buffers hold (499
  // question bytes, 50 answer bytes, 79 picture characters): a question from a damaged
  // or foreign file never overruns them. Marks go with their characters; the rest is zeroed.
  void LoadContent(const core::TQuestion& question);
  // Builds the stored form of the content fields: the letters up to each terminator.
  void StoreContent(core::TQuestion& question) const;

  // Brings the editor to the start of an edit (part of BeginEditing).
  void ResetEditor();
  // Saves the question, its caret and marks for Undo; every key in the question calls it.
  void TakeUndoSnapshot();

  // Selection primitives. The highlight is made only by InvertCell and is not part of the
  // painted image: a repaint removes it.
  void InvertCell(int x, int y);
  void ClearSelection();
  void CopySelection();

  // The old messages.
  void EvChar(unsigned code) override;
  void EvKeyDown(unsigned virtualKey) override;
  void EvKeyUp(unsigned virtualKey) override;
  void EvLButtonDown(platform::TPoint point) override;
  void EvLButtonUp(platform::TPoint point) override;
  void EvMouseMove(platform::TPoint point) override;

  // Commands 601 to 950.
  void CmCut();
  void CmCopy();
  void CmPaste();
  void CmClear();
  void CmUndo();
  void CmSubscript();
  void CmSuperscript();
  void CmNormal();
  void CmGraphicAddChange();
  void CmGraphicDelete();
  void CmHelp();
  void DeleteSelection();
  void DeleteAtCaret();

  void PaintEditor(platform::TDC& dc);
  // The painted layout whole: the header, six question lines of the wrap width, the prompt
  // and the answer line, with a margin below.
  platform::TSize ContentSize() const override;

  // The question, the answer and the picture as a screen reader sees them
  // (editor_accessible.cpp).
  platform::TAccessibleView AccessibleView() override;

  // Content fields (written by the main window before BeginEditing, read after OK).
  int32_t questionMode = 1;
  char questionText[500] = {};
  char answerText[51] = {};
  char headerText[151] = {};
  int32_t questionMarks[500] = {};
  int32_t answerMarks[51] = {};
  char pictureName[81] = {};

  // Editing state.
  platform::TOpenSaveDialogData pictureDialogData;
  int32_t shiftDown = 0;
  platform::TFont editorFont;
  int32_t selectionMarks[500] = {};
  int32_t clipMarks[500] = {};
  int32_t undoMarks[500] = {};
  int32_t questionCaret = 0;
  int32_t undoCaret = 0;
  int32_t answerCaret = 0;
  char selectionText[500] = {};
  char clipText[500] = {};
  char undoText[500] = {};
  int32_t dragging = 0;
  int32_t selEnd = -1;
  int32_t selStart = 600;
  int32_t charWidth = 8;
  int32_t lineHeight = 16;
  int32_t caretX = 4;
  int32_t caretY = 20;
  int32_t dragIndex = 0;
  int32_t answerOnly = 0;
  int32_t helpOpened = 0;

  EditorProgram Program() const { return program_; }

  static constexpr int kQuestionSize = 500;
  static constexpr int kAnswerSize = 51;
  static constexpr int kPictureNameSize = 81;

 protected:
  void Paint(platform::TDC& dc, bool erase) override;

 private:
  // Window set-up: the font, the metrics from "x" and the caret.
  void SetupWindow();

  // The cell geometry over this editor's fields (editor_geometry.cpp).
  CaretState GeometryState() const;
  int CaretColumn() const;
  int LineLength(int index) const;
  bool HasLaterLine() const;
  void PositionOfIndex(int index, int& x, int& y, const char* text) const;
  void UpdateCaretPosition();
  int HitTest(int px, int py, int y0, const char* text) const;
  // Re-wraps a working copy of the question; false when the result would not fit the buffer.
  bool WrapQuestion(char* text, int32_t* marks, int32_t& caret) const;
  // Wraps a changed working copy and makes it the question, caret placed; when the result
  // would not fit, says so and leaves the question as it was. False then.
  bool StoreWrappedQuestion(char* text, int32_t* marks, int32_t caret);

  bool IsQuizloom() const { return program_ == EditorProgram::Quizloom; }
  // The menus 6, 7 and 8 exist only in Quizloom; Quizdesk keeps "MENU_5" throughout.
  void ShowEditorMenu(int menu);
  void Warn(const char* text);
  // Places the caret on the question's caret index after a change of the question.
  void PlaceQuestionCaret();

  int32_t& ActiveCaret() { return questionMode == 1 ? questionCaret : answerCaret; }
  char* ActiveText() { return questionMode == 1 ? questionText : answerText; }
  int32_t* ActiveMarks() { return questionMode == 1 ? questionMarks : answerMarks; }
  int ActiveSize() const { return questionMode == 1 ? kQuestionSize : kAnswerSize; }
  int ActiveTop() const { return questionMode == 1 ? 20 : 370; }

  // Typing (editor_typing.cpp).
  void TypeInQuestion(unsigned code);
  void TypeInAnswer(unsigned code);
  // Inserts at the question's caret, re-wraps and checks the line limit; on success the
  // question, its marks and the caret are replaced, otherwise a message and nothing changes.
  bool InsertIntoQuestion(const char* characters, const int32_t* marks, int count,
                          const char* tooLongMessage);

  // Keys (editor_keys.cpp).
  void KeyPageUp();
  void KeyPageDown();
  void KeyRight();
  void KeyLeft();
  void KeyUp();
  void KeyDown();
  void KeyHome();
  void KeyEnd();
  void Tail();
  bool SelectionIsMultiLine() const;
  void InvertRun(int fromX, int toX, int y);
  // Subscript and Superscript: the selection's range, or the index at the caret.
  void SetMarkCommand(int32_t mark);

  // Says what a mark command did ("lowered", "raised", "normal"): the keys show nothing a
  // reader could hear. It stays until the next key.
  void NoticeMark(int32_t mark);

  TEditorHost& host_;
  EditorProgram program_;
  int32_t edition_ = 0;  // counts BeginEditing: each edit's parts are new to a screen reader
  const char16_t* markNotice_ = nullptr;
  int32_t noticeCount_ = 0;
};

}  // namespace editor
