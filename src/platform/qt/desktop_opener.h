#pragma once
// Opening a web address or a file on the user's desktop, knowing whether it
// opened. Qt hands an address to the desktop's opener program ("xdg-open")
// and reports success as soon as that program has started, also when it then
// finds no browser and gives up, so the user would see nothing at all. Here
// the opener runs as a child of the program and gets a few seconds to give its
// verdict: ending with a failure means nothing could open the address; ending
// well, or still running when the wait ends (it waits for some browsers it
// starts), means the address is open. UI thread only: the user interface's
// events are handled meanwhile.

#include <QString>
#include <QUrl>
#include <optional>

// Opens url with the opener program; without one on PATH, the way Qt knows
// (QDesktopServices). True when it opened.
bool OpenUrlOnDesktop(const QUrl& url);

// Tests: the opener program (empty: none, so Qt's way; nullopt: "xdg-open" as
// found on PATH) and how long its verdict is waited for in milliseconds
// (negative: the program's own wait).
void SetDesktopOpenerForTesting(std::optional<QString> program, int waitMs = -1);
