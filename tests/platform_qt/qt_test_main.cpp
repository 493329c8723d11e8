// main() of the Qt test executables: a QApplication (offscreen under ctest)
// around the GoogleTest run. With QUILLMERE_TEST_X_SERVER set, the process
// first starts an X server of its own (Xvfb) and runs on it instead.

#include "support/own_x_server.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <optional>

int main(int argc, char** argv) {
  std::optional<OwnXServer> server;
  if (!StartOwnXServerWhenAsked(server))
    return 1;
  int result = 0;
  {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  return result;
}
