#include "jobs/prefetch_run.h"

// The pooled collection and the apply engines are not built yet: a prefetch
// run prepares its cache and ends with it empty.
void StartFolderCollection(const AccountSession&, const std::string&, int) {}
