#pragma once
// The sign-in of a program started as root directly (not through scripts/run):
// the browser's sandbox switch that the test main sets for a root process is
// taken away before any browser of the process starts, and the program sees
// itself as root whoever runs the test.

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "fakeservice/fake_service.h"
#include "platform/scripted_desktop.h"
#include "signin_test_support.h"
#include "ui/signin/browser_start.h"

inline constexpr const char* kSandboxSwitch = "QTWEBENGINE_DISABLE_SANDBOX";

struct StartedAsRoot {
  StartedAsRoot() {
    unsetenv(kSandboxSwitch);
    SetEffectiveUserIdForTesting(0u);
  }
  ~StartedAsRoot() { SetEffectiveUserIdForTesting({}); }
};

// Runs `drive` once on the modal window of type Window as soon as it shows,
// from inside the event loop of whatever opened it; `done` is set after it.
template <typename Window>
class ModalWindowDriver {
 public:
  ModalWindowDriver(QObject* context, std::function<void(Window&)> drive) {
    QObject::connect(&m_timer, &QTimer::timeout, context, [this, drive] {
      auto* window = dynamic_cast<Window*>(QApplication::activeModalWidget());
      if (window == nullptr || !window->isVisible()) {
        return;
      }
      m_timer.stop();
      drive(*window);
      done = true;
    });
    m_timer.start(20);
  }
  bool done = false;

 private:
  QTimer m_timer;
};

// True when the event loop still delivers a queued call.
inline bool EventLoopStillRuns() {
  bool delivered = false;
  QTimer::singleShot(0, [&] { delivered = true; });
  return ProcessEventsUntil([&] { return delivered; }, 10000);
}

// Opens the sign-in window of type Window through the chooser's method
// `choose`, waits until its sign-in page has reached the emulator and closes
// it without a sign-in; then the browser ran with its sandbox off, the status
// line said so, the chooser is gone and the program's event loop still runs.
template <typename Window>
void ExpectSignInAsRootRunsAndTheProgramGoesOn(FakeService& service, ScriptedDesktop& desktop,
                                               void (SignInMethodWindow::*choose)()) {
  SignInMethodWindow chooser;
  chooser.OnCreated();
  chooser.show();
  bool pageLoaded = false;
  ModalWindowDriver<Window> driver(&chooser, [&](Window& window) {
    window.activateWindow();
    pageLoaded = ProcessEventsUntil([&] {
      for (const RecordedRequest& request : service.Requests()) {
        if (request.Path() == "/v2/") {
          return true;
        }
      }
      return false;
    });
    desktop.AnswerNext(kBoxResultYes);  // not signed in: close anyway
    window.close();
  });
  (chooser.*choose)();
  EXPECT_TRUE(driver.done);
  EXPECT_TRUE(pageLoaded) << "the sign-in page never reached the emulator";
  EXPECT_STREQ(std::getenv(kSandboxSwitch), "1");
  ASSERT_FALSE(desktop.StatusHistory().empty());
  EXPECT_EQ(desktop.StatusHistory().front().text, kBrowserSandboxOffText);
  EXPECT_FALSE(chooser.isVisible());
  EXPECT_TRUE(EventLoopStillRuns());
}
