#pragma once
// Controllers and views of the bridge. A controller is a QWebEngineView placed
// on its parent widget; its view (the page in it) is handed out as a webview
// object. Both hold their widget and page weakly: once the parent window has
// taken them with it, or the controller was closed, they answer like no object.

#include <QPointer>
#include <QString>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>
#include <string>
#include <vector>

#include "platform/wv2_bridge/bridge_environment.h"
#include "platform/wv2_bridge/bridge_objects.h"

class QWebEngineNewWindowRequest;

// The page of a controller: the new-window routines attached to its view and
// the certificate rule.
class BridgePage : public QWebEnginePage {
 public:
  BridgePage(QWebEngineProfile* profile, QObject* parent);

  // The handle under which the program knows this view (the webview object
  // handed out for it), 0 while there is none or it was released.
  Wv2Handle ViewHandle();
  void SetViewHandle(Wv2Handle handle) { m_viewHandle = handle; }

  Wv2Token AttachNewWindowRoutine(Wv2Routine routine, std::uint32_t userValue);
  bool DetachNewWindowRoutine(Wv2Token token);

 private:
  struct Registration {
    Wv2Token token;
    Wv2Routine routine;
    std::uint32_t userValue;
  };
  void OnNewWindowRequested(QWebEngineNewWindowRequest& request);

  Wv2Handle m_viewHandle = 0;
  std::vector<Registration> m_newWindowRoutines;
};

class BridgeController : public BridgeObject {
 public:
  // A view on `parent`, not yet placed.
  BridgeController(std::shared_ptr<BridgeProfile> profile, QWidget* parent);
  // Releasing a controller closes it.
  ~BridgeController() override;

  QWebEngineView* View() const { return m_view.data(); }
  BridgePage* Page() const { return m_page.data(); }
  // The handle of the controller's view: one for the life of the view, a new
  // one only when the program released it. 0 once the view has gone.
  Wv2Handle WebviewHandle();
  // Takes the view off its window; from then on the controller answers like
  // no object.
  void Close();

 private:
  std::shared_ptr<BridgeProfile> m_profile;
  QPointer<QWebEngineView> m_view;
  QPointer<BridgePage> m_page;
};

class BridgeWebview : public BridgeObject {
 public:
  BridgeWebview(std::shared_ptr<BridgeProfile> profile, BridgePage* page)
      : m_profile(std::move(profile)), m_page(page) {}

  // Null once the page has gone.
  BridgePage* Page() const { return m_page.data(); }
  const std::shared_ptr<BridgeProfile>& Profile() const { return m_profile; }
  // The address of the page as UTF-16 with its terminator, kept until the
  // next call.
  const std::u16string& KeepUrl();

 private:
  std::shared_ptr<BridgeProfile> m_profile;
  QPointer<BridgePage> m_page;
  std::u16string m_url;
};

// The arguments of one new-window request, valid while the routines run.
class BridgeNewWindowArgs : public BridgeObject {
 public:
  BridgeNewWindowArgs(QWebEngineNewWindowRequest& request, BridgePage* requester);

  // Loads the requested page in `page`: in the same view when it is the
  // requesting one, else in the given one.
  bool SetNewWindow(BridgePage* page);
  const std::u16string& RequestedUrl() const { return m_url; }

 private:
  QWebEngineNewWindowRequest* m_request;
  QPointer<BridgePage> m_requester;
  std::u16string m_url;
};

// Text as UTF-16 with its terminator.
std::u16string TerminatedUtf16(const QString& text);
