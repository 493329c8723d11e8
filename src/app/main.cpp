// The program's entry: the Qt application, the Qt sides of the desktop, the
// window system, the file dialogs and dropped files, then the run itself.

#include <QApplication>

#include "platform/desktop.h"
#include "platform/drop_target_host.h"
#include "platform/file_dialogs.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_drop_target_host.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_window_system.h"
#include "platform/window_system.h"
#include "ui/signin/browser_start.h"
#include "ui/start_up.h"

int main(int argc, char** argv) {
  // Changes the environment: before any thread (the application's own too).
  DecideBrowserSandbox();
  // The browser engine library brings Qt WebEngine into the process after the
  // application object exists; it needs the shared OpenGL contexts set first.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  // They live to the process end: the main window's destroy handler ends the
  // process without running destructors.
  auto* desktop = new QtDesktop;
  auto* windowSystem = new QtWindowSystem;
  auto* fileDialogs = new QtFileDialogs;
  auto* dropTargets = new QtDropTargetHost;
  InstallDesktop(desktop);
  InstallWindowSystem(windowSystem);
  InstallFileDialogs(fileDialogs);
  InstallDropTargetHost(dropTargets);
  return RunProgram();
}
