#pragma once
// What the WebView2 sign-in window prepares before it shows a page: the
// bridge library written next to the program when it is missing, the
// browser's user-data folder "cache" with its profile folder "EBWebView"
// wiped, and a new environment in g_wv2Environment. User-interface thread
// only.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/signin/wv2_environment.h"

// The browser's user-data folder: the run directory + "/cache/" (code page
// 936 text), set by PrepareWebView2Environment.
extern std::string g_webviewUserDataFolder;

// The environment options as the program passes them: three UTF-16 texts with
// their terminator (empty: absent) and a value the bridge may change, which
// is copied back after the call.
struct Wv2OptionsRecord {
  std::string browserArguments;
  std::string language;
  std::string targetVersion;
  std::int32_t value = 0;
};

// The browser arguments the sign-in passes.
inline constexpr const char* kWv2BrowserArguments =
    "--allow-file-access-from-files --autoplay-policy=no-user-gesture-required";

// Writes the carried bridge image when "WebView2_Caller.dll" is missing,
// wipes "EBWebView" below the user-data folder (or makes the folder), and
// stores a new environment in g_wv2Environment.
void PrepareWebView2Environment();

// Calls wv2_Global_CreateEnv_Sync with the options, the browser folder and the
// user-data folder (UTF-16 with terminator; empty: absent) and returns a new
// environment wrapper holding the handle it gave (none when the bridge does
// not load or gave none). `options.value` holds afterwards what the bridge
// left in it.
Wv2Environment CreateWv2Environment(const std::string& browserFolder,
                                    const std::string& userDataFolder, Wv2OptionsRecord& options);

// Deletes the folder with everything in it; true when the folder itself was
// removed. Refuses (false, nothing deleted) the empty path, "/", the run
// directory itself and every path outside it. A link inside is removed as a
// link, its target left alone; entries go whatever their permission bits.
bool DeleteFolderTree(std::string_view folder);

// Writes the carried bridge image to the run directory's "WebView2_Caller.dll"
// when no entry of that name exists; an existing one is neither read nor
// replaced. True when the image was written.
bool WriteCarriedBridgeImage();

// The bytes of the carried bridge image (empty when the build carries none).
std::string_view CarriedBridgeImage();

// Tests: the image written in place of the carried one (empty function:
// the carried one again).
void SetCarriedBridgeImageForTesting(std::function<std::string_view()> source);
