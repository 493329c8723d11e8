#include "platform/qt/ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include "foundation/thread_hand_over.h"

namespace {

bool OnUiThreadOrWithoutApplication() {
  return QCoreApplication::instance() == nullptr ||
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

void RunOnUiThread(QObject* context, std::function<void()> function) {
  if (context == nullptr || !function)
    return;
  QMetaObject::invokeMethod(context, HandedOverCall(std::move(function)), Qt::QueuedConnection);
}

void RunOnUiThreadAndWait(QObject* context, const std::function<void()>& function) {
  if (!function)
    return;
  if (OnUiThreadOrWithoutApplication()) {
    function();
    return;
  }
  if (context == nullptr)
    return;
  // The caller waits on Qt's semaphore, which the thread sanitizer cannot see
  // either: what `function` wrote is handed back through `ran`.
  char ran = 0;
  // A call whose context goes away is deleted unrun, which releases the wait.
  QMetaObject::invokeMethod(context, HandedOverCall([&function, &ran] {
                              function();
                              MarkHandOverSent(&ran);
                            }),
                            Qt::BlockingQueuedConnection);
  MarkHandOverReceived(&ran);
}
