#include "platform/help_viewer.h"

#include <map>

#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/cp1252.h"
#include "platform/modal.h"
#include "resources/resource_types.h"

namespace platform {

namespace {
std::map<std::string, QPointer<QTextBrowser>>& OpenViewers() {
  static std::map<std::string, QPointer<QTextBrowser>> viewers;
  return viewers;
}
}  // namespace

void ShowHelp(QWidget* owner, const std::string& helpFile, int command) {
  auto& viewers = OpenViewers();
  if (command == HELP_QUIT) {
    auto found = viewers.find(helpFile);
    if (found != viewers.end() && found->second) found->second->close();
    viewers.erase(helpFile);
    return;
  }
  QPointer<QTextBrowser>& viewer = viewers[helpFile];
  if (!viewer) {
    viewer = new QTextBrowser;
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(FromCp1252(helpFile) + " - Help");
    viewer->resize(640, 560);
    viewer->setOpenExternalLinks(false);
    std::string page = resources::HelpResourcePath(helpFile);
    if (page.empty())
      viewer->setPlainText("The help file " + FromCp1252(helpFile) + " is not available.");
    else
      viewer->setSource(QUrl("qrc" + QString::fromStdString(page)));
    if (owner) viewer->move(owner->window()->geometry().topRight() - QPoint(660, -40));
  }
  viewer->home();
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
}

}  // namespace platform
