#include "jobs/apply_changes_batch.h"

// Not built yet: the run ends with nothing applied.
void ApplyChangesBatch(const AccountSession&, int) {}
