// Screen scaling and the control outline against an in-memory window tree.

#include "foundation/screen_scaling.h"

#include <gtest/gtest.h>

#include "support/fake_window_system.h"
#include "support/scripted_desktop_guard.h"

namespace {

struct ScreenScalingTest : ::testing::Test {
  FakeWindowSystem windows;
  ScopedWindowSystem use{windows};
  ScriptedDesktopGuard ui;
};

constexpr WindowHandle kMain = 1;
constexpr WindowHandle kGroup = 2;
constexpr WindowHandle kEdit = 3;

// A main window at (100, 100), outer 400 x 300, client 384 x 262 starting at
// (108, 130); a group box at (10, 20) 100 x 30 in it, an edit box at (-4, 5)
// 50 x 20 in the group box.
void BuildTree(FakeWindowSystem& windows) {
  FakeWindow main;
  main.outer = {100, 100, 500, 400};
  main.clientWidth = 384;
  main.clientHeight = 262;
  main.clientLeft = 108;
  main.clientTop = 130;
  windows.windows[kMain] = main;
  windows.AddControl(kGroup, kMain, 10, 20, 100, 30);
  windows.AddControl(kEdit, kGroup, -4, 5, 50, 20);
}

WindowRect Relative(FakeWindowSystem& windows, WindowHandle handle) {
  WindowRect rect = windows.windows.at(handle).outer;
  const FakeWindow& parent = windows.windows.at(windows.windows.at(handle).parent);
  return {rect.left - parent.clientLeft, rect.top - parent.clientTop,
          rect.right - parent.clientLeft, rect.bottom - parent.clientTop};
}

TEST_F(ScreenScalingTest, At144DpiControlsScaleAndTheWindowStaysCentred) {
  BuildTree(windows);
  RescaleWindowForDpi(kMain, 96, 144);

  WindowRect main = windows.windows.at(kMain).outer;
  EXPECT_EQ(main.left, 4);
  EXPECT_EQ(main.top, 34);  // 100 - 65.5, truncated
  EXPECT_EQ(main.Width(), 592);
  EXPECT_EQ(main.Height(), 431);

  WindowRect group = Relative(windows, kGroup);
  EXPECT_EQ(group.left, 15);
  EXPECT_EQ(group.top, 30);
  EXPECT_EQ(group.Width(), 150);
  EXPECT_EQ(group.Height(), 45);

  WindowRect edit = Relative(windows, kEdit);
  EXPECT_EQ(edit.left, -6);
  EXPECT_EQ(edit.top, 8);  // 7.5 rounds up
  EXPECT_EQ(edit.Width(), 75);
  // Children are done before their parents.
  EXPECT_EQ(windows.moveOrder, (std::vector<WindowHandle>{kEdit, kGroup, kMain}));
}

TEST_F(ScreenScalingTest, SameDpiMovesNothingAndTheDefaultTargetIsTheScreenDpi) {
  BuildTree(windows);
  auto before = windows.windows;
  windows.metrics = {96, 96, 1.0};
  ReadScreenDpi();
  EXPECT_EQ(g_screenDpi, 96);
  RescaleWindowForDpi(kMain, 96);
  for (const auto& [handle, window] : before) {
    SCOPED_TRACE(handle);
    EXPECT_EQ(windows.windows.at(handle).outer.left, window.outer.left);
    EXPECT_EQ(windows.windows.at(handle).outer.top, window.outer.top);
    EXPECT_EQ(windows.windows.at(handle).outer.Width(), window.outer.Width());
  }

  windows.metrics = {120, 144, 1.0};
  ReadScreenDpi();
  EXPECT_EQ(g_screenDpi, 120);
  RescaleWindowForDpi(kMain, 96);
  EXPECT_EQ(Relative(windows, kGroup).Width(), 125);
  g_screenDpi = 96;
}

TEST_F(ScreenScalingTest, ABadDpiLeavesEverythingAlone) {
  BuildTree(windows);
  RescaleWindowForDpi(kMain, 0, 144);
  RescaleWindowForDpi(kMain, 96, 0);
  RescaleWindowForDpi(0, 96, 144);
  EXPECT_TRUE(windows.moveOrder.empty());
}

TEST_F(ScreenScalingTest, ScalePercentFromRatioAndDpi) {
  struct Row {
    const char* name;
    ScreenMetrics metrics;
    int percent;
  };
  const Row rows[] = {
      {"no scaling", {96, 96, 1.0}, 100},          {"window system scales 1.5", {96, 96, 1.5}, 150},
      {"font DPI 144 only", {144, 144, 1.0}, 150}, {"both agree", {120, 120, 1.25}, 125},
      {"they disagree", {144, 144, 1.25}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    windows.metrics = row.metrics;
    EXPECT_EQ(ScreenScalePercent(), row.percent);
  }
}

TEST_F(ScreenScalingTest, FlashShowsTheOutlineTwiceAndLeavesTheScreenAsItWas) {
  std::int64_t start = GetClock().SteadyMs();
  FlashWindowOutline(kEdit, 0);
  ASSERT_EQ(windows.toggles.size(), 4u);
  const std::int64_t expectedAt[] = {0, 100, 180, 280};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(windows.toggles[i].window, kEdit);
    EXPECT_EQ(windows.toggles[i].penWidth, 3);
    EXPECT_EQ(windows.toggles[i].colour, 0u);
    EXPECT_EQ(windows.toggles[i].atMs - start, expectedAt[i]);
  }
}

TEST_F(ScreenScalingTest, OutlineDefaultsAndNoWindow) {
  FlashWindowOutline(0, 0);
  FlashWindowOutline(-5, 0);
  EXPECT_TRUE(windows.toggles.empty());
  DrawXorOutline(kEdit, 0);
  ASSERT_EQ(windows.toggles.size(), 1u);
  EXPECT_EQ(windows.toggles[0].penWidth, 3);
  EXPECT_EQ(windows.toggles[0].colour, 0x0000FFu);
}

TEST(ScreenScalingMath, MulDivRoundsHalvesAwayFromZero) {
  struct Row {
    int value, numerator, denominator, result;
  };
  const Row rows[] = {{5, 144, 96, 8},  {-5, 144, 96, -8}, {7, 144, 96, 11},
                      {10, 96, 96, 10}, {1, 1, 0, -1},     {3, 1, 2, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(MulDiv(row.value, row.numerator, row.denominator), row.result);
  }
}

TEST(OutlineRectangle, RaisesNegativeCornersAndStepsInside) {
  WindowRect rect = OutlineRectangle({-10, -3, 50, 40});
  EXPECT_EQ(rect.left, 1);
  EXPECT_EQ(rect.top, 1);
  EXPECT_EQ(rect.right, 49);
  EXPECT_EQ(rect.bottom, 39);
}

}  // namespace
