#pragma once
#include <string>

class QWidget;

namespace platform {

// The help viewer: opens one of our help pages at its contents, or closes it.
void ShowHelp(QWidget* owner, const std::string& helpFile, int command);

}  // namespace platform
