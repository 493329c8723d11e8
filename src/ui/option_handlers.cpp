// Fills the main window's slots that this feature owns. A slot left empty
// makes its control do nothing.

#include <QWidget>

#include "platform/control_store.h"
#include "ui/copy_controls.h"
#include "ui/keyword_rules_window.h"
#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui/maker_pages.h"
#include "ui/option_guards.h"
#include "ui/qt_text.h"
#include "ui/rename_preview.h"
#include "ui/settings_help_window.h"

namespace {

QWidget* ChildNamed(MainWindow* window, const char* name) {
  return window->findChild<QWidget*>(WidgetTextFromCp936(name));
}

// Places the keyword panel over the double-clicked keyword box (both inside
// `分组框4`, at their current, rescaled positions) and shows it.
void OpenKeywordPanel(MainWindow* window, const std::string& keywordBoxName) {
  if (!FillKeywordPanel(keywordBoxName)) {
    return;
  }
  QWidget* panel = ChildNamed(window, kKeywordPanelGroup);
  QWidget* keywordBox = ChildNamed(window, keywordBoxName.c_str());
  QWidget* edit = ChildNamed(window, kKeywordPanelEdit);
  if (panel == nullptr || keywordBox == nullptr) {
    return;
  }
  QWidget* host = panel->parentWidget() != nullptr ? panel->parentWidget() : window;
  panel->move(host->mapFromGlobal(keywordBox->mapToGlobal(QPoint(0, 0))));
  if (edit != nullptr) {
    edit->resize(304, 48);
  }
  GetControlStore().SetVisible(kKeywordPanelGroup, true);
  // The panel covers the controls below it, which would show through.
  panel->setAutoFillBackground(true);
  panel->show();
  panel->raise();
  if (edit != nullptr) {
    edit->setFocus();
  }
}

void HideKeywordPanel(MainWindow* window) {
  CloseKeywordPanel();
  if (window == nullptr) {
    return;
  }
  if (QWidget* edit = ChildNamed(window, kKeywordPanelEdit)) {
    edit->resize(0, 0);
  }
}

}  // namespace

void InstallOptionHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  handlers.optionGuard = [window](const std::string& boxName) {
    OnOptionBoxClicked(boxName, window);
  };
  handlers.stopRename = [] { StopRenameJob(); };
  handlers.stopCopy = [] { StopCopyJob(); };
  handlers.toggleCopyPause = [] { ToggleCopyPause(); };
  handlers.openMakerPage = [](const std::string& controlName) { OpenMakerPage(controlName); };
  handlers.showRenamePreview = [window](int unused, int run) {
    ShowRenamePreview(unused, run, window);
  };
  handlers.openSettingsHelpWindow = [window] {
    SettingsHelpWindow help(window);
    help.exec();
  };
  handlers.openKeywordRulesWindow = [window] { OpenKeywordRulesWindow(window); };
  handlers.closeKeywordPanel = [window] { HideKeywordPanel(window); };
  if (window != nullptr) {
    handlers.openKeywordPanel = [window](const std::string& keywordBoxName) {
      OpenKeywordPanel(window, keywordBoxName);
    };
  }
}
