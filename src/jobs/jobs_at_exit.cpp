#include "jobs/jobs_at_exit.h"

#include "foundation/waits.h"
#include "jobs/copy_job_state.h"
#include "web/item_request_hold.h"
#include "web/rename_task_state.h"

bool StopJobsForExit(std::int64_t waitMs) {
  HoldItemRequests();
  // The stop flags go up only now: a raised flag ends a transfer in flight
  // and every further poll of its task, and the item would not be booked.
  const auto noneUnderWay = [] { return ItemRequestsUnderWay() == 0; };
  WaitPumpingMessages(waitMs, kWaitMilliseconds, noneUnderWay);
  g_renameStopRequested = true;
  g_copyStopRequested = true;
  return noneUnderWay();
}
