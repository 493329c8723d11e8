#include "ui/main_window_setup.h"

void InstallMainWindowHandlers(MainWindowHandlers& handlers) {
  // Handlers are added here as the features that own them are built; a slot
  // left empty makes its control do nothing.
  (void)handlers;
}
