#include "platform/qt/ui_thread.h"

#include <QMetaObject>

void RunOnUiThread(QObject* context, std::function<void()> function) {
  if (context == nullptr || !function)
    return;
  QMetaObject::invokeMethod(context, std::move(function), Qt::QueuedConnection);
}
