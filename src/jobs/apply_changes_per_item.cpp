#include "jobs/apply_changes_per_item.h"

// Not built yet: the run ends with nothing applied.
void ApplyChangesPerItem(const AccountSession&, int) {}
