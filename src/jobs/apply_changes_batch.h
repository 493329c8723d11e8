#pragma once
// The fast apply phase of a prefetch run: the collected rows of the run's
// listing cache are selected by keyword and renamed or deleted in batches.

#include "web/account_session.h"

// Runs on the dispatcher thread of run `runNumber` once its collection is
// over; every request uses `session`, the snapshot the rename task took. A
// run that is no longer live does nothing.
void ApplyChangesBatch(const AccountSession& session, int runNumber);
