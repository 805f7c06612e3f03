#include <QtGlobal>

#include <algorithm>
#include <cctype>

#include "resources/resource_tables.h"

static void InitQuizResources() { Q_INIT_RESOURCE(quiz_resources); }

namespace resources {

const MenuResource* FindMenu(ResId id) {
  for (const MenuResource& menu : MenuTables())
    if (menu.id == id) return &menu;
  return nullptr;
}

const AcceleratorTable* FindAccelerators(std::string_view name) {
  for (const AcceleratorTable& table : AcceleratorTables())
    if (table.name == name) return &table;
  return nullptr;
}

const DialogTemplate* FindDialog(std::string_view name) {
  for (const DialogTemplate& dialog : DialogTemplates())
    if (dialog.name == name) return &dialog;
  return nullptr;
}

void InitResources() {
  static const bool registered = (InitQuizResources(), true);
  (void)registered;
}

std::string BitmapResourcePath(std::string_view name) {
  InitResources();
  return ":/bitmaps/" + std::string(name) + ".bmp";
}

std::string IconResourcePath(std::string_view name) {
  InitResources();
  return ":/icons/" + std::string(name) + ".png";
}

std::string CursorResourcePath(int number) {
  InitResources();
  return ":/cursors/" + std::to_string(number) + ".png";
}

std::string HelpResourcePath(std::string_view helpFile) {
  InitResources();
  std::string name(helpFile);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (name == "quizloom.hlp") return ":/help/quizloom.html";
  if (name == "quizdesk.hlp") return ":/help/quizdesk.html";
  if (name == "quest.hlp") return ":/help/quest.html";
  if (name == "winhelp.hlp") return ":/help/usinghelp.html";
  return {};
}

}  // namespace resources
