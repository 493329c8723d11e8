#include "platform/qt/ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace {

bool OnUiThreadOrWithoutApplication() {
  return QCoreApplication::instance() == nullptr ||
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

void RunOnUiThread(QObject* context, std::function<void()> function) {
  if (context == nullptr || !function)
    return;
  QMetaObject::invokeMethod(context, std::move(function), Qt::QueuedConnection);
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
  // A call whose context goes away is deleted unrun, which releases the wait.
  QMetaObject::invokeMethod(context, function, Qt::BlockingQueuedConnection);
}
