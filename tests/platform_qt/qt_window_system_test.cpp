// The Qt window system with real (offscreen) widgets: the tree the scaling
// routine walks, moving controls, and outlines shown and taken away.

#include "platform/qt/qt_window_system.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

#include <memory>
#include <thread>

#include "foundation/screen_scaling.h"
#include "platform/qt/qt_window_handle.h"

namespace {

struct QtWindowSystemTest : ::testing::Test {
  QtWindowSystem system;
  ScopedWindowSystem use{system};
};

TEST_F(QtWindowSystemTest, RescaleMovesControlsOfAWidgetTree) {
  QWidget window;
  window.setGeometry(100, 100, 384, 262);
  QWidget group(&window);
  group.setGeometry(10, 20, 100, 30);
  QLineEdit edit(&group);
  edit.setGeometry(-4, 5, 50, 20);
  window.show();
  QApplication::processEvents();

  RescaleWindowForDpi(WindowHandleOf(&window), 96, 144);

  EXPECT_EQ(group.geometry(), QRect(15, 30, 150, 45));
  EXPECT_EQ(edit.geometry(), QRect(-6, 8, 75, 30));
  EXPECT_EQ(window.geometry().size(), QSize(576, 393));
}

TEST_F(QtWindowSystemTest, TreeAndMetricsAsTheScalingRoutinesSeeThem) {
  QWidget window;
  QWidget child(&window);
  QWidget popup(&window, Qt::Tool);
  WindowHandle top = WindowHandleOf(&window);
  EXPECT_EQ(system.ChildWindows(top), std::vector<WindowHandle>{WindowHandleOf(&child)});
  EXPECT_EQ(system.ParentWindow(WindowHandleOf(&child)), top);
  EXPECT_EQ(system.ParentWindow(top), 0);
  ScreenMetrics metrics = system.GetScreenMetrics();
  EXPECT_GT(metrics.logicalDpiX, 0);
  EXPECT_GT(metrics.devicePixelRatio, 0.0);
}

TEST_F(QtWindowSystemTest, OutlineTogglesAndFollowsDestroyedWidgets) {
  QWidget window;
  window.setGeometry(50, 60, 200, 100);
  QLineEdit* edit = new QLineEdit(&window);
  edit->setGeometry(10, 10, 80, 20);
  window.show();
  WindowHandle handle = WindowHandleOf(edit);

  system.ToggleOutline(handle, 3, 0);
  EXPECT_EQ(system.VisibleOutlineCount(), 1);
  system.ToggleOutline(handle, 3, 0);
  EXPECT_EQ(system.VisibleOutlineCount(), 0);

  delete edit;
  EXPECT_EQ(WidgetOf(handle), nullptr);
  system.ToggleOutline(handle, 3, 0);
  EXPECT_EQ(system.VisibleOutlineCount(), 0);
}

// A worker's outline request that reaches the user-interface thread after the
// window system is gone is dropped with it.
TEST(QtWindowSystemLifetimeTest, QueuedOutlinesOfAGoneWindowSystemAreDropped) {
  QWidget window;
  window.setGeometry(50, 60, 200, 100);
  window.show();
  const auto before = QApplication::topLevelWidgets().size();
  auto system = std::make_unique<QtWindowSystem>();
  std::thread([&] { system->ToggleOutline(WindowHandleOf(&window), 3, 0); }).join();
  system.reset();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
}

}  // namespace
