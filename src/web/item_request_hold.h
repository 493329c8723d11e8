#pragma once
// The jobs' requests that change remote items (rename, batch rename, delete,
// copy, folder creation, move), each marked under way from its entry until
// its outcome is booked, so that the program's end can start no further one
// and let the one under way be booked first. Any thread.

// One item request under way for the scope's life. While the requests are
// held (HoldItemRequests), one that is not yet under way waits here until the
// hold is lifted; one that begins inside another on the same thread (a
// resubmission, a retry batch) never waits.
class ItemRequestScope {
 public:
  ItemRequestScope();
  ~ItemRequestScope();
  ItemRequestScope(const ItemRequestScope&) = delete;
  ItemRequestScope& operator=(const ItemRequestScope&) = delete;
};

// From now on no item request begins: each waits at its scope.
void HoldItemRequests();

// Lifts the hold; the waiting requests go on. The program ends instead; tests
// lift it after a close.
void ReleaseItemRequests();

bool ItemRequestsHeld();

// The item requests under way now.
int ItemRequestsUnderWay();
