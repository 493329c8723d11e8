#pragma once
// The program's message box and status line, over the installed Desktop
// (platform/desktop.h; tests install a ScriptedDesktop).
//
// Box types: 64 notice, 48 warning, 16 error; questions add the Yes and No
// buttons (4): 36, 52, 20. Results: 6 Yes, 7 No, 1 OK, 32000 when the box
// closed itself after its time-out, 0 when it could not be shown.

#include <cstdint>
#include <string_view>

// Shows a box titled caption that closes itself after timeoutMs (0: waits for
// the user) and returns the button. Blocks only the calling thread; any thread
// may call it, and boxes from several threads can be open at once. Callers
// title notices "提示：".
int ShowTimedMessageBox(std::string_view caption, std::string_view text, std::int64_t timeoutMs,
                        int type);

// The same box with its text as UTF-16LE bytes, for texts that list remote
// names: every character of a name shows as the service holds it.
int ShowTimedMessageBoxUtf16(std::string_view caption, std::string_view utf16Bytes,
                             std::int64_t timeoutMs, int type);

// Writes the status line (panel 1 of the status bar `状态条1`) under
// g_statusLock: the text when it is not empty, otherwise the UTF-16LE bytes
// (the form for a line holding characters code page 936 cannot show); both
// empty clear the line. Callers that build the line from shared counters hold
// g_counterLock around the call (counter lock first, then the status lock).
void ShowStatusText(std::string_view text, std::string_view utf16Bytes = {});
