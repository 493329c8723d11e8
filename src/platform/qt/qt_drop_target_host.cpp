#include "platform/qt/qt_drop_target_host.h"

#include <QAbstractScrollArea>
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
    if (!registration.viewport.isNull()) {
      registration.viewport->removeEventFilter(this);
    }
  }
}

QtDropTargetHost::Registration* QtDropTargetHost::RegistrationOf(QObject* watched) {
  auto it = m_registrations.find(watched);
  if (it != m_registrations.end()) {
    return &it->second;
  }
  for (auto& [object, registration] : m_registrations) {
    if (registration.viewport == watched) {
      return &registration;
    }
  }
  return nullptr;
}

void QtDropTargetHost::StopWatching(Registration& registration, QObject* host) {
  if (!registration.widget.isNull()) {
    registration.widget->removeEventFilter(host);
    registration.widget->setAcceptDrops(registration.acceptedDropsBefore);
  }
  if (!registration.viewport.isNull()) {
    registration.viewport->removeEventFilter(host);
    registration.viewport->setAcceptDrops(registration.viewportAcceptedDropsBefore);
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
  Registration& registration = m_registrations[widget];
  registration = {widget, std::move(handler), widget->acceptDrops(), nullptr, false};
  widget->setAcceptDrops(true);
  widget->installEventFilter(this);
  // Drops on a scroll area (a multi-line edit box) reach its viewport.
  if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
    registration.viewport = area->viewport();
    registration.viewportAcceptedDropsBefore = area->viewport()->acceptDrops();
    area->viewport()->setAcceptDrops(true);
    area->viewport()->installEventFilter(this);
  }
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
  StopWatching(it->second, this);
  disconnect(widget, &QObject::destroyed, this, nullptr);
  m_registrations.erase(it);
}

bool QtDropTargetHost::eventFilter(QObject* watched, QEvent* event) {
  Registration* registration = RegistrationOf(watched);
  if (registration == nullptr) {
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
      DroppedFilesHandler handler = registration->handler;
      if (handler) {
        handler(paths);
      }
      return true;
    }
    default:
      return false;
  }
}
