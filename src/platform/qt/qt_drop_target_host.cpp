#include "platform/qt/qt_drop_target_host.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "platform/qt/qt_window_handle.h"

namespace {

// The local file paths a drag carries, in its order; web addresses and other
// data are left out.
std::vector<std::u16string> LocalPaths(const QMimeData* data) {
  std::vector<std::u16string> paths;
  if (data == nullptr || !data->hasUrls()) {
    return paths;
  }
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) {
      paths.push_back(U16FromQString(url.toLocalFile()));
    }
  }
  return paths;
}

}  // namespace

QtDropTargetHost::~QtDropTargetHost() {
  for (auto& [object, registration] : m_registrations) {
    if (!registration.widget.isNull()) {
      registration.widget->removeEventFilter(this);
    }
  }
}

bool QtDropTargetHost::AcceptDrops(WindowHandle window, DroppedFilesHandler handler) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return false;
  }
  auto it = m_registrations.find(widget);
  if (it != m_registrations.end()) {
    it->second.handler = std::move(handler);
    return true;
  }
  m_registrations[widget] = {widget, std::move(handler), widget->acceptDrops()};
  widget->setAcceptDrops(true);
  widget->installEventFilter(this);
  connect(widget, &QObject::destroyed, this,
          [this](QObject* gone) { m_registrations.erase(gone); });
  return true;
}

void QtDropTargetHost::RefuseDrops(WindowHandle window) {
  QWidget* widget = WidgetOf(window);
  auto it = m_registrations.find(widget);
  if (widget == nullptr || it == m_registrations.end()) {
    return;
  }
  widget->removeEventFilter(this);
  widget->setAcceptDrops(it->second.acceptedDropsBefore);
  disconnect(widget, &QObject::destroyed, this, nullptr);
  m_registrations.erase(it);
}

bool QtDropTargetHost::eventFilter(QObject* watched, QEvent* event) {
  auto it = m_registrations.find(watched);
  if (it == m_registrations.end()) {
    return QObject::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (LocalPaths(drag->mimeData()).empty()) {
        return false;
      }
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      std::vector<std::u16string> paths = LocalPaths(drop->mimeData());
      if (paths.empty()) {
        return false;
      }
      drop->acceptProposedAction();
      // A copy: the handler may unregister the widget.
      DroppedFilesHandler handler = it->second.handler;
      if (handler) {
        handler(paths);
      }
      return true;
    }
    default:
      return false;
  }
}
