#pragma once
// Where the program fills the main window's handlers before the window opens.
// Each feature that owns handlers has one installer, in a file of its own,
// that fills its slots; InstallMainWindowHandlers runs them all.

#include "ui/main_window_handlers.h"

class MainWindow;

// Fills every handler the program has. `window` is the main window the
// handlers belong to (owner of the windows they open); it outlives them.
// User-interface thread, before the main window's created handler runs.
void InstallMainWindowHandlers(MainWindowHandlers& handlers, MainWindow* window);

// The installers of the features, in the order the window's pages list them.
void InstallAccountListHandlers(MainWindowHandlers& handlers, MainWindow* window);
void InstallRemoteTreeHandlers(MainWindowHandlers& handlers, MainWindow* window);
void InstallRenameTaskHandlers(MainWindowHandlers& handlers, MainWindow* window);
void InstallOptionHandlers(MainWindowHandlers& handlers, MainWindow* window);
void InstallCopyArchiveHandlers(MainWindowHandlers& handlers, MainWindow* window);
void InstallSettingsUpdateHandlers(MainWindowHandlers& handlers, MainWindow* window);
void InstallSignInHandlers(MainWindowHandlers& handlers, MainWindow* window);
