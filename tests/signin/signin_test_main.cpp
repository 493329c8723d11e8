// Entry point of the sign-in tests: one QApplication for the process, with
// what Qt WebEngine needs when the engine library brings it in later. With
// QUILLMERE_TEST_X_SERVER set, the process first starts an X server of its own
// (Xvfb) and runs on it instead of the offscreen platform.

#include "support/own_x_server.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <optional>

int main(int argc, char** argv) {
  // Qt WebEngine's sandbox does not start as root; tests run as root in CI.
  if (geteuid() == 0) {
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  }
  std::optional<OwnXServer> server;
  if (!StartOwnXServerWhenAsked(server)) {
    return 1;
  }
  int result = 0;
  {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  return result;
}
