#pragma once
// What the program settles before a browser library (the engine library or
// the WebView2 bridge) starts Qt WebEngine in this process: the extra CA file
// the libraries trust (platform/qt/browser_trust.h) and, for a program run as
// root, the browser's sandbox. Qt WebEngine's sandbox does not start as root
// and its refusal ends the whole process; Qt reads the switch, an environment
// variable, once, when the first browser starts. Changing the environment
// while other threads may read it (curl's proxy variables, the time zone) is
// unsafe, so main() decides the switch before any thread starts, and the
// first browser start says so on the status line.

#include <optional>

// Call first in main(), before any thread starts (the application object
// included): as root, switches the browser's sandbox off, keeping a value
// already set by whoever started the program.
void DecideBrowserSandbox();

// Call before a browser library is loaded. User-interface thread only.
// Changes no environment variable.
void PrepareBrowserStart();

// The status line the first browser of a program run as root shows.
inline constexpr const char* kBrowserSandboxOffText =
    "以 root 身份运行：登陆用的浏览器已关闭其沙箱";

// Tests: the effective user id DecideBrowserSandbox sees (empty: the
// process's own); forgets the decision and the status line already shown.
void SetEffectiveUserIdForTesting(std::optional<unsigned> uid);
