#pragma once
// The registry values the program reads. Linux has no registry: the one value
// asked for, "DisplayVersion" of the WebView2 runtime's uninstall key, tells
// whether a browser runtime is there, so it answers the version of Qt
// WebEngine when that library can be loaded, and is empty otherwise. Every
// other value is missing (empty).

#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* kWebView2RuntimeKey =
    "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Microsoft EdgeWebView";

// The text of a string value under HKEY_LOCAL_MACHINE; empty when the key or
// the value is missing.
std::string ReadLocalMachineText(std::string_view key, std::string_view value);

// Tests: answers `text` for the runtime's value instead of probing (nullopt
// probes again).
void SetWebView2RuntimeVersionForTesting(std::optional<std::string> text);
