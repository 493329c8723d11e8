#pragma once
// For Qt tests: handles the user-interface thread's events until a condition
// holds or a time limit (real time) has passed; a worker thread may not have
// posted yet. Returns whether the condition held. The condition is asked once
// per round and its verdict is the answer: asked again after it held, a
// condition that acts or that reads a page moving on could take it back.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

template <typename Done>
bool ProcessEventsUntilOrAfter(Done done, int maxMs) {
  QElapsedTimer waited;
  waited.start();
  while (!done()) {
    if (waited.elapsed() >= maxMs) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::yieldCurrentThread();
  }
  return true;
}
