#include <QApplication>

#include "authoring/application.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  quizloom::TMyApp app;
  return app.Run();
}
