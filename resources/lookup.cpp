#include <QtGlobal>

#include <algorithm>
#include <cctype>

#include "resources/resource_types.h"

static void InitQuizResources() { Q_INIT_RESOURCE(quiz_resources); }

namespace resources {

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
