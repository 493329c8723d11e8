// Entry point of the sign-in tests: one QApplication for the process, with
// what Qt WebEngine needs when the engine library brings it in later.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  // Qt WebEngine's sandbox does not start as root; tests run as root in CI.
  if (geteuid() == 0) {
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
