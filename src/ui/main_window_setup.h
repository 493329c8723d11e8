#pragma once
// Where the program fills the main window's handlers before the window opens.
// Each feature that owns a handler adds its line to InstallMainWindowHandlers.

#include "ui/main_window_handlers.h"

// Fills every handler the program has. User-interface thread, before the main
// window's created handler runs.
void InstallMainWindowHandlers(MainWindowHandlers& handlers);
