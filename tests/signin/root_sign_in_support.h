#pragma once
// The chooser's sign-in driven as a user does it: the window opened from the
// chooser and handled from inside its own modal loop. And the sign-in of a
// program started as root directly (not through scripts/run): the browser's
// sandbox switch that the test main sets for a root process is taken away
// before any browser of the process starts, the program sees itself as root
// whoever runs the test, and it decides the switch as its main() does.

#include <QApplication>
#include <QElapsedTimer>
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
    DecideBrowserSandbox();
  }
  ~StartedAsRoot() { SetEffectiveUserIdForTesting({}); }
};

// Runs `drive` once on the modal window of type Window as soon as it shows,
// from inside the event loop of whatever opened it; `done` is set after it.
// A window of that type that shows without being the modal window is driven
// all the same after a while, with `modal` left false, so the test fails
// instead of waiting in the window's loop for ever.
template <typename Window>
class ModalWindowDriver {
 public:
  ModalWindowDriver(QObject* context, std::function<void(Window&)> drive) {
    m_waited.start();
    QObject::connect(&m_timer, &QTimer::timeout, context, [this, drive] {
      Window* window = dynamic_cast<Window*>(QApplication::activeModalWidget());
      if (window != nullptr && window->isVisible()) {
        modal = true;
      } else if (m_waited.elapsed() > kModalWaitMs) {
        window = VisibleTopLevel();
      } else {
        window = nullptr;
      }
      if (window == nullptr) {
        return;
      }
      m_timer.stop();
      drive(*window);
      done = true;
    });
    m_timer.start(20);
  }
  bool done = false;
  bool modal = false;

 private:
  static constexpr qint64 kModalWaitMs = 20000;
  static Window* VisibleTopLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* window = dynamic_cast<Window*>(widget);
      if (window != nullptr && window->isVisible()) {
        return window;
      }
    }
    return nullptr;
  }
  QElapsedTimer m_waited;
  QTimer m_timer;
};

// True when the event loop still delivers a queued call.
inline bool EventLoopStillRuns() {
  bool delivered = false;
  QTimer::singleShot(0, [&] { delivered = true; });
  return ProcessEventsUntil([&] { return delivered; }, 10000);
}

// Opens the sign-in window of type Window through a chooser's method
// `choose`, from inside the chooser's event loop as a click does, waits until
// its sign-in page has reached the emulator and closes it without a sign-in.
template <typename Window>
void OpenSignInWindowAndClose(FakeService& service, ScriptedDesktop& desktop,
                              void (SignInMethodWindow::*choose)()) {
  service.ClearRequests();
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
  EXPECT_TRUE(driver.done) << "the sign-in window never showed";
  EXPECT_TRUE(driver.modal) << "the sign-in window showed, but not as the modal window";
  EXPECT_TRUE(pageLoaded) << "the sign-in page never reached the emulator";
  EXPECT_FALSE(chooser.isVisible());
}

// The above, started as root: the browser ran with its sandbox off, the
// status line said so and the program's event loop still runs.
template <typename Window>
void ExpectSignInAsRootRunsAndTheProgramGoesOn(FakeService& service, ScriptedDesktop& desktop,
                                               void (SignInMethodWindow::*choose)()) {
  OpenSignInWindowAndClose<Window>(service, desktop, choose);
  EXPECT_STREQ(std::getenv(kSandboxSwitch), "1");
  ASSERT_FALSE(desktop.StatusHistory().empty());
  EXPECT_EQ(desktop.StatusHistory().front().text, kBrowserSandboxOffText);
  EXPECT_TRUE(EventLoopStillRuns());
}
