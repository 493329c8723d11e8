#pragma once
// Scripts run in a Qt WebEngine page by the sign-in tests that drive the
// emulator's pages.

#include <QWebEnginePage>
#include <memory>

#include "signin_test_support.h"

// Runs `script` in the page until it answers true (the page may still be
// loading); false when it never does.
inline bool RunScriptUntilTrue(QWebEnginePage* page, const QString& script) {
  return ProcessEventsUntil([&] {
    // Shared with the callback, which may come after this attempt gave up.
    auto answer = std::make_shared<int>(-1);
    page->runJavaScript(script, [answer](const QVariant& result) { *answer = result.toBool(); });
    ProcessEventsUntil([&] { return *answer != -1; }, 2000);
    return *answer == 1;
  });
}
