#include "platform/wv2_bridge/bridge_view.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <algorithm>

#include "platform/web_engine_support/web_engine_certificates.h"

std::u16string TerminatedUtf16(const QString& text) {
  std::u16string out(reinterpret_cast<const char16_t*>(text.utf16()),
                     static_cast<std::size_t>(text.size()));
  out.push_back(u'\0');
  return out;
}

BridgePage::BridgePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
  connect(this, &QWebEnginePage::certificateError, this, &JudgeWebEngineCertificate);
  connect(this, &QWebEnginePage::newWindowRequested, this,
          [this](QWebEngineNewWindowRequest& request) { OnNewWindowRequested(request); });
}

Wv2Handle BridgePage::ViewHandle() {
  if (BridgeObjects::Find<BridgeWebview>(m_viewHandle) == nullptr) {
    m_viewHandle = 0;
  }
  return m_viewHandle;
}

Wv2Token BridgePage::AttachNewWindowRoutine(Wv2Routine routine, std::uint32_t userValue) {
  const Wv2Token token = NextRegistrationToken();
  m_newWindowRoutines.push_back({token, routine, userValue});
  return token;
}

bool BridgePage::DetachNewWindowRoutine(Wv2Token token) {
  return std::erase_if(m_newWindowRoutines,
                       [token](const Registration& held) { return held.token == token; }) != 0;
}

void BridgePage::OnNewWindowRequested(QWebEngineNewWindowRequest& request) {
  // A routine may attach or detach routines, or close the view.
  const std::vector<Registration> routines = m_newWindowRoutines;
  if (routines.empty()) {
    return;
  }
  const Wv2Handle sender = ViewHandle();
  const Wv2Handle arguments =
      BridgeObjects::Add(std::make_unique<BridgeNewWindowArgs>(request, this));
  QPointer<BridgePage> alive(this);
  for (const Registration& registration : routines) {
    registration.routine(sender, arguments, registration.userValue);
    if (alive.isNull()) {
      break;
    }
  }
  // The request ends with the event: its arguments answer like no object.
  BridgeObjects::Release(arguments);
}

BridgeController::BridgeController(std::shared_ptr<BridgeProfile> profile, QWidget* parent)
    : m_profile(std::move(profile)) {
  auto* view = new QWebEngineView(parent);
  auto* page = new BridgePage(m_profile->Profile(), view);
  view->setPage(page);
  view->show();
  m_view = view;
  m_page = page;
}

Wv2Handle BridgeController::WebviewHandle() {
  BridgePage* page = m_page.data();
  if (page == nullptr) {
    return 0;
  }
  if (page->ViewHandle() == 0) {
    page->SetViewHandle(BridgeObjects::Add(std::make_unique<BridgeWebview>(m_profile, page)));
  }
  return page->ViewHandle();
}

BridgeController::~BridgeController() {
  Close();
}

void BridgeController::Close() {
  delete m_view.data();
}

const std::u16string& BridgeWebview::KeepUrl() {
  m_url = TerminatedUtf16(m_page.isNull() ? QString() : m_page->url().toString());
  return m_url;
}

BridgeNewWindowArgs::BridgeNewWindowArgs(QWebEngineNewWindowRequest& request,
                                         BridgePage* requester)
    : m_request(&request),
      m_requester(requester),
      m_url(TerminatedUtf16(request.requestedUrl().toString())) {}

bool BridgeNewWindowArgs::SetNewWindow(BridgePage* page) {
  if (page == nullptr || m_requester.isNull()) {
    return false;
  }
  if (page == m_requester.data()) {
    // The page that asked goes on to the requested address itself, once the
    // request has been answered (the page is busy with it until then).
    const QUrl address = m_request->requestedUrl();
    QMetaObject::invokeMethod(
        page, [page, address] { page->setUrl(address); }, Qt::QueuedConnection);
  } else {
    m_request->openIn(page);
  }
  return true;
}
