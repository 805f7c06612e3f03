// Shows dialog templates one after another, each with an empty record, for looking at them
// by hand or under Xvfb:  dialog_show INFODIALOG DRIVEDLG ...
// Each dialog stays until it is closed (Escape); the program ends after the last one.
#include <QApplication>

#include <vector>

#include "platform/dialog.h"
#include "resources/resource_types.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  resources::InitResources();
  for (int i = 1; i < argc; ++i) {
    std::vector<unsigned char> record(1000, 0);
    platform::TDialog dialog(nullptr, argv[i], record.data());
    dialog.Execute();
  }
  return 0;
}
