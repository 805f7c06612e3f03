#pragma once
#include <cstdint>

#include "editor/editor_host.h"
#include "platform/font.h"
#include "platform/modal.h"
#include "platform/window.h"

namespace editor {

// The question editor: a teacher types a question and its answer in it, a student an answer.
// The main window fills the content fields, makes the editor its client and calls
// BeginEditing; on OK it reads the content fields back.
class TInputDialog : public platform::TWindow {
 public:
  TInputDialog(QWidget* parent, TEditorHost& host, EditorProgram program);
  ~TInputDialog() override;

  void BeginEditing();
  bool CanClose() override;

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

 private:
  TEditorHost& host_;
  EditorProgram program_;
};

}  // namespace editor
