// A small frame that shows the question editor, for trying it by hand or under Xvfb:
//   editor_host_demo [quizloom|quizdesk]
// OK and Cancel print the content fields and close the frame.
#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

#include "editor/editor_host.h"
#include "editor/input_dialog.h"
#include "platform/frame_window.h"

namespace {

class DemoFrame : public platform::TFrameWindow, public editor::TEditorHost {
 public:
  explicit DemoFrame(editor::EditorProgram program) : TFrameWindow("Editor") {
    editor_ = new editor::TInputDialog(ClientArea(), *this, program);
    editor_->SetInitialSize(800, 420);
    LoadAccelerators("ACCELERATORS_1");
  }

  void Begin() {
    std::strcpy(editor_->headerText, "Question 1");
    SetClient(editor_);
    editor_->BeginEditing();
  }

  void SetEditorMenu(resources::ResId menu) override {
    SetMenu(menu);
    std::printf("menu %s\n", menu.ToString().c_str());
    std::fflush(stdout);
  }
  void EditorOk() override { Finish("ok"); }
  void EditorCancel() override { Finish("cancel"); }

 private:
  void Finish(const char* how) {
    std::printf("%s question \"%s\" answer \"%s\"\n", how, editor_->questionText,
                editor_->answerText);
    std::fflush(stdout);
    close();
  }

  editor::TInputDialog* editor_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool desk = argc > 1 && std::string(argv[1]) == "quizdesk";
  DemoFrame frame(desk ? editor::EditorProgram::Quizdesk : editor::EditorProgram::Quizloom);
  frame.Begin();
  frame.show();
  return app.exec();
}
