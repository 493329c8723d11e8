#pragma once
// The item-by-item apply phase of a prefetch run: the collected rows of the
// run's listing cache, deepest first, each through the rename rules.

#include "web/account_session.h"

// Runs on the dispatcher thread of run `runNumber` once its collection is
// over; every request uses `session`, the snapshot the rename task took. A
// run that is no longer live does nothing.
void ApplyChangesPerItem(const AccountSession& session, int runNumber);
