#pragma once
// Dropped files on Qt widgets: an event filter on each accepting widget (and
// on the viewport of a scroll area such as a multi-line edit box, where drops
// land) takes drags that carry local files and hands every drop's paths to the
// widget's handler. Drops of anything else (text, web addresses) go to the widget as
// before. User-interface thread only.

#include <QObject>
#include <QPointer>
#include <map>

#include "platform/drop_target_host.h"

class QWidget;

class QtDropTargetHost final : public QObject, public DropTargetHost {
 public:
  QtDropTargetHost() = default;
  ~QtDropTargetHost() override;

  bool AcceptDrops(WindowHandle window, DroppedFilesHandler handler) override;
  void RefuseDrops(WindowHandle window) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Registration {
    QPointer<QWidget> widget;
    DroppedFilesHandler handler;
    bool acceptedDropsBefore = false;
    QPointer<QWidget> viewport;  // a scroll area's viewport, watched too
    bool viewportAcceptedDropsBefore = false;
  };
  // The registration whose widget or viewport `watched` is; null for none.
  Registration* RegistrationOf(QObject* watched);
  static void StopWatching(Registration& registration, QObject* host);
  std::map<QObject*, Registration> m_registrations;
};
