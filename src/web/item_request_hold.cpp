#include "web/item_request_hold.h"

#include <condition_variable>
#include <mutex>

#include "foundation/never_destroyed.h"

namespace {

struct HoldState {
  std::mutex mutex;
  std::condition_variable lifted;
  bool held = false;
  int underWay = 0;
};

// Worker threads may still pass a scope while the process ends.
HoldState& State() {
  static NeverDestroyed<HoldState> s_state;
  return s_state.Get();
}

// The scopes this thread is inside.
thread_local int t_depth = 0;

}  // namespace

ItemRequestScope::ItemRequestScope() {
  HoldState& state = State();
  std::unique_lock lock(state.mutex);
  if (t_depth == 0) {
    state.lifted.wait(lock, [&] { return !state.held; });
  }
  ++t_depth;
  ++state.underWay;
}

ItemRequestScope::~ItemRequestScope() {
  HoldState& state = State();
  std::lock_guard lock(state.mutex);
  --t_depth;
  --state.underWay;
}

void HoldItemRequests() {
  HoldState& state = State();
  std::lock_guard lock(state.mutex);
  state.held = true;
}

void ReleaseItemRequests() {
  HoldState& state = State();
  {
    std::lock_guard lock(state.mutex);
    state.held = false;
  }
  state.lifted.notify_all();
}

bool ItemRequestsHeld() {
  HoldState& state = State();
  std::lock_guard lock(state.mutex);
  return state.held;
}

int ItemRequestsUnderWay() {
  HoldState& state = State();
  std::lock_guard lock(state.mutex);
  return state.underWay;
}
