#pragma once
// The program's start-up before the main window opens, and the whole run:
// run directory, program-wide objects, module initialisers, the product key
// and version, the HTTP back-end switch of "netset.ini", the contact text,
// then the main window and the event loop.
//
// Everything here runs on the user-interface thread, before any worker starts.

#include <string>
#include <string_view>

// The product key the update manifest and the updater hand-off carry.
extern std::string g_productKey;
// The running version, shown in the caption and compared with the manifest.
extern std::string g_programVersion;

inline constexpr const char* kProductKey = "quillmere";
inline constexpr const char* kProgramVersion = "11210";
// The caption of the main window's definition.
inline constexpr const char* kMainWindowCaption = "Tarrowby-Quillmere";

// False, after telling the user on the terminal and in a box (plain ASCII
// text, which needs no conversion), when the system cannot convert code page
// 936: the program would otherwise turn every Chinese character into "?".
bool CheckTextConversion();

// True when the text of "netset.ini" asks for the libcurl back end: it holds
// "curl":"1" exactly (quotes included, with case, no blanks).
bool NetSettingsAskForCurl(std::string_view text);

// Reads "netset.ini" of the run directory into g_useCurl (a missing or
// unreadable file means 0). When it asks for libcurl, shows the 30-second
// notice and returns when it is closed or has timed out.
void ApplyNetSettings();

// The main window's caption: caption, two blanks, the contact text; without
// the built-in service number every "Tarrowby-" is removed; then two blanks,
// "当前版本：" and the version.
std::string BuildMainWindowCaption(std::string_view caption, std::string_view contact,
                                   std::string_view version);

// Start-up up to the main window: run directory as working directory,
// program-wide objects, module initialisers (RunProgramStartup), libcurl and
// the service configuration, g_productKey, g_programVersion, "netset.ini",
// g_contactText.
void PrepareProgram();

// The whole run after QApplication exists and the desktop is installed:
// PrepareProgram, then the main window (created handler, shown, not modal),
// then the event loop. The process ends in the main window's destroy handler.
int RunProgram();
