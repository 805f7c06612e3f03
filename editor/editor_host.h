#pragma once
#include "resources/resource_types.h"

namespace editor {

// What the question editor needs of the main window that holds it. Each program's main
// window implements it; tests use a stand-in.
class TEditorHost {
 public:
  virtual ~TEditorHost() = default;
  virtual void SetEditorMenu(resources::ResId menu) = 0;  // the main window's menu
  virtual void EditorOk() = 0;                            // the main window's OK (610)
  virtual void EditorCancel() = 0;                        // the main window's Cancel (611)
};

// The two programs' editors differ in a handful of behaviours, all following from this.
enum class EditorProgram { Quizloom, Quizdesk };

}  // namespace editor
