#include <gtest/gtest.h>

#include <QApplication>

#include "platform/printer.h"

// Every test program gets a QApplication; CTest runs them on the offscreen platform.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The tests run as on a computer with a printer; those of the no-printer question say so.
  platform::SetPrinterProbe([] { return std::string(); });
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
