// Entry point of the widget tests: one QApplication for the whole process
// (the tests run under QT_QPA_PLATFORM=offscreen).

#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
