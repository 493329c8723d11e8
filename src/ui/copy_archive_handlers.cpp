// Fills the main window's slots that this feature owns: adding a copy source
// from the tree's pop-up menu, starting the copy job and starting the archive
// job. The handlers return at once; the jobs run on threads of their own and
// keep their start buttons disabled while they run.

#include "jobs/archive_job.h"
#include "jobs/copy_job.h"
#include "ui/main_window_setup.h"

void InstallCopyArchiveHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  (void)window;
  handlers.addCopySource = [] { OnAddCopySourceSelected(); };
  handlers.startCopy = [] { OnStartCopyClicked(); };
  handlers.startArchive = [] { OnArchiveClicked(); };
}
