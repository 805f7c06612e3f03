#include <QApplication>

#include "taking/application.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  quizdesk::TMyApp app;
  return app.Run();
}
