#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/records.h"
#include "editor/editor_host.h"
#include "platform/frame_window.h"
#include "platform/modal.h"
#include "taking/random_order.h"
#include "taking/results_layout.h"

namespace editor {
class TInputDialog;
}
namespace platform {
class TPrinter;
}

namespace quizdesk {

class TBlankWindow;

enum Command : int {
  CM_START = 501,
  CM_PRINT_RESULTS = 502,
  CM_CHECK_ANSWERS = 550,
  CM_OK = 610,
  CM_HELP_INDEX = 901,
  CM_USING_HELP = 902,
  CM_EXIT = 24340,
};

// Quizdesk's main window. It owns the loaded questions and the attempt, and shows either the
// idle view or the editor. Its member functions are split by role: test_window.cpp (set-up,
// menus, help, closing), taking.cpp (Start, showing a question, OK of the first pass),
// checking.cpp (Check Answers and OK of a review), print_results.cpp (Print Results).
class TTestWindow : public platform::TFrameWindow, public editor::TEditorHost {
 public:
  TTestWindow();
  ~TTestWindow() override;

  void CmStart();
  void CmOk();
  void CmCheckAnswers();
  void CmPrintResults();
  void CmHelpIndex();
  void CmUsingHelp();
  bool CanClose() override;

  // The editor's calls.
  void SetEditorMenu(resources::ResId menu) override { SetMenu(menu); }
  void EditorOk() override { CmOk(); }
  void EditorCancel() override {}  // the student's editor has no Cancel

  // The order of the first pass follows this seed; the window seeds it from the clock.
  void SeedQuestionOrder(uint32_t seed) { random_.Seed(seed); }
  bool Asked(int index) const { return asked_.at(static_cast<std::size_t>(index)); }

  TBlankWindow* idleView;
  int32_t testTaken = 0;
  int32_t reviewing = 0;
  core::TList<core::TQuestion> questions;
  int32_t helpIndexOpened = 0;
  int32_t windowsHelpOpened = 0;
  int32_t position = 0;
  int32_t expectedAnswerMarks[51] = {};
  core::TResponse* currentResponse = nullptr;
  char expectedAnswer[500] = {};
  std::string testPath;  // the whole path as the file dialog gave it
  int32_t shownCount = 0;
  platform::TOpenSaveDialogData testFileDialogData;
  std::unique_ptr<core::TInformation> information;
  core::TQuestion* currentQuestion = nullptr;
  int32_t testSize = 0;
  editor::TInputDialog* editor;
  std::unique_ptr<platform::TPrinter> printer;
  // The hand-in code typed for this test, so that a review hands in again without asking;
  // empty until School is chosen, and again when the server did not know the code.
  std::string handInCode;

 private:
  void Warn(const char* text);
  // Zeroes the editor's content fields and the expected answer.
  void ClearBuffers();
  // The next question of the pass: chosen at random in the first pass, the next response's
  // question in a review; then filled and presented.
  void ShowQuestion();
  void FillEditor();
  void PresentEditor();
  void OkFirstPass();
  void OkReview();
  // After the last OK of a pass: the idle view again, menu MENU_3, and the results stored.
  void FinishPass();
  bool Answering() const;
  // One printout of the results file at path, through the print dialog.
  void PrintResultsOnce(const TPrintOptions& options, const std::string& path);

  TRandomGenerator random_;
  // Which questions the first pass has asked, by index: every question is asked once,
  // whatever its answer holds.
  std::vector<bool> asked_;
};

}  // namespace quizdesk
