#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "editor/editor_host.h"
#include "platform/frame_window.h"
#include "platform/modal.h"
#include "platform/printer.h"

namespace editor {
class TInputDialog;
}
namespace gradebook {
class TClassResultsWindow;
class TGradebookThread;
class THandInListener;
class THandInWindow;
class TStore;
}
namespace platform {
class TWindow;
}

namespace quizloom {

class TBlankWindow;
class TImportWindow;

enum Command : int {
  CM_ADD = 201,
  CM_DELETE = 202,
  CM_CHANGE = 203,
  CM_INSERT = 206,
  CM_PRINT = 105,
  CM_PRINT_PREVIEW = 106,
  CM_PRINT_ANSWER_KEY = 107,
  CM_EXPORT = 108,
  CM_IMPORT_FROM_PLATFORM = 109,
  CM_COLLECT_RESULTS = 401,
  CM_ADD_RESULTS_FILES = 402,
  CM_CLASS_RESULTS = 403,
  CM_PRINT_CLASS_RESULTS = 404,
  CM_GRADEBOOK_LOCATION = 405,
  CM_OPEN_HAND_IN = 406,
  CM_OK = 610,
  CM_CANCEL = 611,
  CM_HELP_INDEX = 901,
  CM_USING_HELP = 902,
  CM_EXIT = 24340,
};

// Quizloom's main window. Its client is the question list, the editor or the import window;
// the other two stay alive and keep their state. Split by role: test_window.cpp (set-up,
// switching the client, help, the close check), list_commands.cpp (Add, Insert, Change,
// Delete, OK and Cancel), import_commands.cpp (Import and Done), print_commands.cpp
  // (Print, Print Preview, Print Answer Key), exchange_commands.cpp (Export, Import From
  // Platform), results_commands.cpp (Collect Results, Add Results Files) and
  // class_results_commands.cpp (Class Results, Print Class Results) and hand_in_commands.cpp
  // (Open Hand-In, following arrivals).
class TTestWindow : public platform::TFrameWindow, public editor::TEditorHost {
 public:
  TTestWindow();
  ~TTestWindow() override;

  void CmAdd();
  void CmInsert();
  void CmChange();
  void CmDelete();
  void CmOk();
  void CmCancel();
  void CmImport();
  void CmDone();
  void CmHelpIndex();
  void CmUsingHelp();
  void CmPrint();
  void CmPrintPreview();
  void CmPrintAnswerKey();
  // The open test written as GIFT or Moodle XML, as the file dialog's type says.
  void CmExport();
  // A platform's short-answer questions appended to the open test.
  void CmImportFromPlatform();
  void CmCollectResults();
  void CmAddResultsFiles();
  void CmClassResults();
  void CmPrintClassResults();
  void CmGradebookLocation();
  // A hand-in session for the open test, on the school's server: its window.
  void CmOpenHandIn();
  bool CanClose() override;

  // Empties the editor's question, answer, their marks and the picture name.
  void ClearEditor();
  // Starts typing question number currentNumber in the editor.
  void OpenEditor();
  // Back from the editor or the import window to the list, with the menu that fits the test.
  void ReturnToList();

  void SetEditorMenu(resources::ResId menu) override { SetMenu(menu); }
  void EditorOk() override { CmOk(); }
  void EditorCancel() override { CmCancel(); }

  TBlankWindow* listWindow;
  editor::TInputDialog* editorWindow;
  TImportWindow* importWindow;
  platform::TOpenSaveDialogData importFileData;
  platform::TOpenSaveDialogData exportFileData;
  platform::TOpenSaveDialogData platformFileData;
  platform::TOpenSaveDialogData resultsFileData;
  int32_t helpIndexOpened = 0;
  int32_t usingHelpOpened = 0;
  // Keeps the chosen printer and pages between prints.
  std::unique_ptr<platform::TPrinter> printer;
  // The gradebook's thread and its one connection, started and opened on first use; the class
  // results window shown last.
  std::unique_ptr<gradebook::TGradebookThread> gradebookThread;
  std::unique_ptr<gradebook::TClassResultsWindow> classResultsWindow;
  // The hand-in session window shown last, and the connection that hears of arrivals.
  gradebook::THandInListener* handInListener = nullptr;  // hosted on the gradebook's thread
  std::unique_ptr<gradebook::THandInWindow> handInWindow;
  bool handInsPending = false;  // Class Results will collect what was just handed in

 private:
  enum class NumberPrompt { Delete, Change, Insert };
  // Asks for a question number until one of the test's numbers is given; false on Cancel.
  bool ReadQuestionNumber(NumberPrompt prompt, int& number);
  void Warn(const char* text);
  void QuitHelp();
  enum class PrintKind { Sheet, Preview, AnswerKey };
  void PrintTest(PrintKind kind);
  // Collects the results file on one disk of the drive; false when the gradebook failed.
  // stored counts the attempts the command has stored so far.
  bool CollectDisk(gradebook::TGradebookThread& gradebook, const std::string& drivePath,
                   int& stored);
  // The open test as the gradebook knows tests, or nothing when no test is open.
  std::optional<std::string> OpenTestKey() const;
  // The gradebook, opened when first needed; null (the user told why) when it cannot be.
  gradebook::TGradebookThread* Gradebook();
  void RefreshClassResults();
  void ForgetGradebook();
  // The test whose class results to show or print, with the gradebook holding it.
  std::optional<int64_t> ChooseClassResults(std::string& name);
  // Starts hearing of hand-ins, when the gradebook takes them; the windows follow them.
  void FollowHandIns();
  // Collects the hand-ins of the stored test, or of the open test, that nobody collected yet.
  void CollectHandInsOf(std::optional<int64_t> testId);
  // What arrived for the test Class Results shows, collected and shown; once the gradebook is
  // free when a command runs.
  void CollectForClassResults();
};

}  // namespace quizloom
