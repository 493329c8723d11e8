#include "platform/qt/qt_window_handle.h"

#include "platform/qt/ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <QVariant>
#include <QWidget>
#include <atomic>
#include <map>
#include <mutex>

#include "platform/code_page_codec.h"

namespace {

// The handles handed out. Libraries the program loads at run time carry their
// own copy of this code, so the one table of the process is found through the
// application object: the first copy that needs it publishes its table there,
// every later copy uses that one. Tables are never freed, so a copy that goes
// with its library leaves nothing dangling.
struct HandleTable {
  std::mutex mutex;
  std::map<WindowHandle, QPointer<QWidget>> widgets;
};

constexpr const char* kHandleTableProperty = "quillmereWindowHandleTable";

HandleTable& Table() {
  static HandleTable* const own = new HandleTable;
  static std::atomic<HandleTable*> found{nullptr};
  if (HandleTable* table = found.load()) {
    return *table;
  }
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) {
    return *own;
  }
  static std::mutex publishing;
  std::lock_guard<std::mutex> lock(publishing);
  const QVariant published = app->property(kHandleTableProperty);
  HandleTable* table = own;
  if (published.isValid()) {
    table = reinterpret_cast<HandleTable*>(published.value<quintptr>());
  } else {
    app->setProperty(kHandleTableProperty, QVariant::fromValue(reinterpret_cast<quintptr>(own)));
  }
  found.store(table);
  return *table;
}

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
  HandleTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  table.widgets[handle] = widget;
  return handle;
}

QWidget* WidgetOf(WindowHandle handle) {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.widgets.find(handle);
  if (it == table.widgets.end()) {
    return nullptr;
  }
  if (it->second.isNull()) {
    table.widgets.erase(it);
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
