// Fills the main window's slots that this feature owns. A slot left empty
// makes its control do nothing.

#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui/signin/sign_in_windows.h"

void InstallSignInHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  handlers.openSignInMethodWindow = [window] {
    SignInMethodWindow chooser(window);
    chooser.OnCreated();
    chooser.exec();
  };
}
