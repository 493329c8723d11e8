#include "ui/main_window_setup.h"

void InstallMainWindowHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  InstallAccountListHandlers(handlers, window);
  InstallRemoteTreeHandlers(handlers, window);
  InstallRenameTaskHandlers(handlers, window);
  InstallOptionHandlers(handlers, window);
  InstallCopyArchiveHandlers(handlers, window);
  InstallSettingsUpdateHandlers(handlers, window);
  InstallSignInHandlers(handlers, window);
}
