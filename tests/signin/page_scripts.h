#pragma once
// Scripts run in a Qt WebEngine page by the sign-in tests that drive the
// emulator's pages.

#include <QWebEnginePage>
#include <memory>

#include "signin_test_support.h"

// Runs `script` in the page until it answers true (the page may still be
// loading); false when it never does. Only for scripts without side effects:
// an attempt that gives up may still have run, and its answer is lost when
// the page navigates meanwhile.
inline bool RunScriptUntilTrue(QWebEnginePage* page, const QString& script) {
  return ProcessEventsUntil([&] {
    // Shared with the callback, which may come after this attempt gave up.
    auto answer = std::make_shared<int>(-1);
    page->runJavaScript(script, [answer](const QVariant& result) { *answer = result.toBool(); });
    ProcessEventsUntil([&] { return *answer != -1; }, 2000);
    return *answer == 1;
  });
}

// Waits until `ready` (a script without side effects) answers true, then runs
// `action` once without waiting for its answer: an action that navigates the
// page (a click, a form, a window it opens in the same view) may end the page
// before its answer comes back. The caller waits for what the action causes.
// False when the page never got ready.
inline bool RunScriptWhenReady(QWebEnginePage* page, const QString& ready, const QString& action) {
  if (!RunScriptUntilTrue(page, ready)) {
    return false;
  }
  page->runJavaScript(action);
  return true;
}
