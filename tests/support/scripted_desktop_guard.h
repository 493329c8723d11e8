#pragma once
// Test helper: installs a ScriptedDesktop whose misuse (a box nobody scripted,
// an impossible time-out) fails the running test, and a FakeClock, for one
// scope. At the end of the scope a scripted answer nobody used fails the test.
//
//   ScriptedDesktopGuard ui;
//   ui.desktop.AnswerNext(kBoxResultYes);
//   ui.clock.Advance(1000);

#include "platform/fake_clock.h"
#include "platform/scripted_desktop.h"

#include <gtest/gtest.h>

inline void ReportToGtest(const std::string& message) {
  ADD_FAILURE() << message;
}

struct ScriptedDesktopGuard {
  FakeClock clock;
  ScriptedDesktop desktop{ReportToGtest};
  ScopedClock useClock{clock};
  ScopedDesktop useDesktop{desktop};

  ~ScriptedDesktopGuard() {
    EXPECT_EQ(desktop.PendingAnswers(), 0) << "scripted box answers were never asked for";
  }
};
