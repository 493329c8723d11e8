#pragma once
// What the program settles before a browser library (the engine library or
// the WebView2 bridge) starts Qt WebEngine in this process: the extra CA file
// the libraries trust (platform/qt/browser_trust.h) and, for a program run as
// root, the browser's sandbox. Qt WebEngine's sandbox does not start as root
// and its refusal ends the whole process; Qt reads the switch once, when the
// first browser starts. So as root the switch is set here, before that, and
// the status line says so. User-interface thread only.

#include <optional>

// Call before a browser library is loaded.
void PrepareBrowserStart();

// The status line a browser started as root shows.
inline constexpr const char* kBrowserSandboxOffText =
    "以 root 身份运行：登陆用的浏览器已关闭其沙箱";

// Tests: the effective user id the check sees (empty: the process's own).
void SetEffectiveUserIdForTesting(std::optional<unsigned> uid);
