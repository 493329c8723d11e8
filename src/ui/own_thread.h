#pragma once
// Starts a routine without arguments on a thread of its own
// (StartThreadWithTexts with no integer and no texts). Any thread.

#include <functional>

#include "foundation/thread_start.h"

inline ThreadHandle StartOnOwnThread(std::function<void()> routine) {
  return StartThreadWithTexts([routine = std::move(routine)](int, const std::string&,
                                                             const std::string&, const std::string&,
                                                             const std::string&) { routine(); });
}
