#include "platform/qt/qt_window_handle.h"

#include "platform/qt/ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <map>
#include <mutex>

#include "platform/code_page_codec.h"

namespace {

std::mutex s_mutex;
std::map<WindowHandle, QPointer<QWidget>> s_widgets;

bool OnUiThread() {
  return QCoreApplication::instance() != nullptr &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

WindowHandle WindowHandleOf(QWidget* widget) {
  if (widget == nullptr) {
    return 0;
  }
  auto handle = reinterpret_cast<WindowHandle>(widget);
  std::lock_guard<std::mutex> lock(s_mutex);
  s_widgets[handle] = widget;
  return handle;
}

QWidget* WidgetOf(WindowHandle handle) {
  std::lock_guard<std::mutex> lock(s_mutex);
  auto it = s_widgets.find(handle);
  if (it == s_widgets.end()) {
    return nullptr;
  }
  if (it->second.isNull()) {
    s_widgets.erase(it);
    return nullptr;
  }
  return it->second.data();
}

QString QStringFromCp936(const std::string& text) {
  return QStringFromU16(DecodeToUtf16(text, kCodePageLocal));
}

std::string Cp936FromQString(const QString& text) {
  return EncodeFromUtf16(U16FromQString(text), kCodePageLocal);
}

std::u16string U16FromQString(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<size_t>(text.size()));
}

QString QStringFromU16(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

void RunOnUiThreadAndWait(const std::function<void()>& work) {
  RunOnUiThreadAndWait(QCoreApplication::instance(), work);
}

void PostToUiThread(std::function<void()> work) {
  if (OnUiThread() || QCoreApplication::instance() == nullptr) {
    work();
    return;
  }
  RunOnUiThread(QCoreApplication::instance(), std::move(work));
}
