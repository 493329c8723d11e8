// Fills the main window's slots that this feature owns. A slot left empty
// makes its control do nothing.
//
// The rename task points the user at an option box by its name from its own
// thread; the window hands it the name-to-handle table of its controls here,
// made once on the user-interface thread (WidgetOf still refuses a handle
// whose control was destroyed meanwhile).

#include <QWidget>
#include <map>
#include <string>

#include "foundation/screen_scaling.h"
#include "jobs/rename_task.h"
#include "platform/qt/qt_window_handle.h"
#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui/qt_text.h"

namespace {

void InstallControlHandles(MainWindow* window) {
  std::map<std::string, WindowHandle, std::less<>> handles;
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (!control->objectName().isEmpty()) {
      handles.emplace(Cp936FromWidgetText(control->objectName()), WindowHandleOf(control));
    }
  }
  InstallControlWindowLookup([handles = std::move(handles)](std::string_view name) -> WindowHandle {
    const auto found = handles.find(name);
    return found == handles.end() ? 0 : found->second;
  });
}

}  // namespace

void InstallRenameTaskHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  handlers.startRename = [] { OnStartRenameClicked(); };
  handlers.openRenameTutorial = [] { OnRenameTutorialLinkClicked(); };
  if (window != nullptr) {
    InstallControlHandles(window);
  }
}
