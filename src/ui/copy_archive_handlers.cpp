// Fills the main window's slots that this feature owns. A slot left empty
// makes its control do nothing.

#include "ui/main_window_setup.h"

void InstallCopyArchiveHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  (void)handlers;
  (void)window;
}
