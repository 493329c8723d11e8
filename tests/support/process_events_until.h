#pragma once
// For Qt tests: handles the user-interface thread's events until a condition
// holds or a time limit (real time) has passed; a worker thread may not have
// posted yet. Returns whether the condition holds.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

template <typename Done>
bool ProcessEventsUntilOrAfter(Done done, int maxMs) {
  QElapsedTimer waited;
  waited.start();
  while (!done() && waited.elapsed() < maxMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::yieldCurrentThread();
  }
  return done();
}
