// Fills the main window's slots that this feature owns: the settings files
// and the update check. A slot left empty makes its control do nothing.

#include <thread>

#include "ui/form_settings.h"
#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui/update_manifest.h"
#include "ui/update_window.h"

namespace {

UpdaterServices ServicesOf(MainWindow* window) {
  return MakeUpdaterServices([window] { window->RequestEndProgram(); });
}

}  // namespace

void InstallSettingsUpdateHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  handlers.saveFormSettings = [window] { SaveFormSettings(window->Store()); };
  handlers.loadFormSettings = [window] { LoadFormSettings(window->Store()); };
  handlers.openUpdateWindow = [window] { OpenUpdateWindowModal(ServicesOf(window), window); };
  handlers.startUpdateCheck = [window] {
    std::thread([window] {
      // Only the user-interface thread opens windows; the check waits there
      // until the update window has closed.
      CheckForUpdate([window] {
        window->RunOnUiThreadAndWait(
            [window] { OpenUpdateWindowModal(ServicesOf(window), window); });
      });
    }).detach();
  };
}
