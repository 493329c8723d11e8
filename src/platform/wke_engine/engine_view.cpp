#include "platform/wke_engine/engine_view.h"

#include <QCloseEvent>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>

#include "platform/web_engine_support/web_engine_certificates.h"
#include "platform/wke_engine/engine_profile.h"

WkeFileChooserCallback g_fileChooserCallback = nullptr;
void* g_fileChooserParam = nullptr;

namespace {

std::set<EngineView*>& LiveViews() {
  static std::set<EngineView*> views;
  return views;
}

// An engine text for the length of one notification.
struct EngineText {
  explicit EngineText(const QString& text) : wide(text) {}
  WkeString Handle() { return reinterpret_cast<WkeString>(this); }
  QString wide;
};

int NavigationTypeOf(QWebEnginePage::NavigationType type) {
  switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked:
      return kWkeNavigationLinkClick;
    case QWebEnginePage::NavigationTypeFormSubmitted:
      return kWkeNavigationFormSubmit;
    case QWebEnginePage::NavigationTypeBackForward:
      return kWkeNavigationBackForward;
    case QWebEnginePage::NavigationTypeReload:
      return kWkeNavigationReload;
    default:
      return kWkeNavigationOther;
  }
}

// Tells the view of every request its page starts, and sends the view's own
// user agent.
class EngineRequestWatch : public QWebEngineUrlRequestInterceptor {
 public:
  explicit EngineRequestWatch(EnginePage* page)
      : QWebEngineUrlRequestInterceptor(page), m_page(page) {}
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    EngineView* view = m_page->View();
    if (view == nullptr) {
      return;
    }
    if (!view->UserAgent().empty()) {
      info.setHttpHeader("User-Agent", QByteArray::fromStdString(view->UserAgent()));
    }
    const auto& slot = view->Callbacks().loadUrlBegin;
    if (slot.fn != nullptr) {
      const QByteArray url = info.requestUrl().toString().toUtf8();
      // The answer never blocks the request.
      slot.fn(view->Handle(), slot.param, url.constData(), &info);
    }
  }

 private:
  EnginePage* m_page;
};

}  // namespace

const char16_t* EngineTextChars(WkeString text) {
  if (text == nullptr) {
    return u"";
  }
  return reinterpret_cast<const char16_t*>(reinterpret_cast<EngineText*>(text)->wide.utf16());
}

EnginePage::EnginePage(QWebEngineProfile* profile, EngineView* view, QObject* parent)
    : QWebEnginePage(profile, parent), m_view(view) {
  setUrlRequestInterceptor(new EngineRequestWatch(this));
  connect(this, &QWebEnginePage::certificateError, this, &JudgeWebEngineCertificate);
}

bool EnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  if (m_view == nullptr) {
    return false;
  }
  const auto& slot = m_view->Callbacks().navigation;
  if (slot.fn == nullptr) {
    return true;
  }
  EngineText address(url.toString());
  return slot.fn(m_view->Handle(), slot.param, NavigationTypeOf(type), address.Handle()) != 0;
}

void EnginePage::javaScriptAlert(const QUrl& origin, const QString& message) {
  if (m_view == nullptr) {
    return;
  }
  const auto& slot = m_view->Callbacks().alertBox;
  if (slot.fn == nullptr) {
    QWebEnginePage::javaScriptAlert(origin, message);
    return;
  }
  EngineText text(message);
  slot.fn(m_view->Handle(), slot.param, text.Handle());
}

bool EnginePage::javaScriptConfirm(const QUrl& origin, const QString& message) {
  if (m_view == nullptr) {
    return false;
  }
  const auto& slot = m_view->Callbacks().confirmBox;
  if (slot.fn == nullptr) {
    return QWebEnginePage::javaScriptConfirm(origin, message);
  }
  EngineText text(message);
  return slot.fn(m_view->Handle(), slot.param, text.Handle()) != 0;
}

bool EnginePage::javaScriptPrompt(const QUrl& origin, const QString& message,
                                  const QString& defaultValue, QString* result) {
  if (m_view == nullptr) {
    return false;
  }
  const auto& slot = m_view->Callbacks().promptBox;
  if (slot.fn == nullptr) {
    return QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
  }
  EngineText text(message);
  EngineText defaultText(defaultValue);
  const bool accepted =
      slot.fn(m_view->Handle(), slot.param, text.Handle(), defaultText.Handle()) != 0;
  if (accepted && result != nullptr) {
    *result = defaultValue;
  }
  return accepted;
}

void EnginePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                          const QString& message, int lineNumber,
                                          const QString& sourceId) {
  if (m_view == nullptr) {
    return;
  }
  const auto& slot = m_view->Callbacks().console;
  if (slot.fn == nullptr) {
    return;
  }
  EngineText text(message);
  EngineText source(sourceId);
  EngineText stack(QString{});
  slot.fn(m_view->Handle(), slot.param, static_cast<int>(level), text.Handle(), source.Handle(),
          static_cast<unsigned>(lineNumber), stack.Handle());
}

QStringList EnginePage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                    const QStringList& acceptedMimeTypes) {
  if (m_view == nullptr) {
    return {};
  }
  if (g_fileChooserCallback != nullptr) {
    std::u16string buffer(4096, u'\0');
    const int answer =
        g_fileChooserCallback(g_fileChooserParam, m_view->Handle(), buffer.data(), buffer.size());
    if (answer == kWkeFileChosen) {
      buffer.resize(std::char_traits<char16_t>::length(buffer.c_str()));
      return {QString::fromUtf16(buffer.data(), static_cast<qsizetype>(buffer.size()))};
    }
    if (answer == kWkeFileCancelled) {
      return {};
    }
  }
  return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

EngineWidget::EngineWidget(EngineView* view, QWidget* parent)
    : QWebEngineView(parent), m_view(view) {}

EngineWidget::~EngineWidget() {
  m_view->OnWidgetDestroyed();
}

void EngineWidget::closeEvent(QCloseEvent* event) {
  if (m_view->AllowClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

EngineView::EngineView(int type, QWidget* parent, int x, int y, int width, int height) {
  const bool control = type == kWkeWindowControl && parent != nullptr;
  m_widget = new EngineWidget(this, control ? parent : nullptr);
  if (!control) {
    m_widget->setAttribute(Qt::WA_DeleteOnClose);
  }
  if (control || (x != kWkeDefaultPosition && y != kWkeDefaultPosition)) {
    m_widget->move(x, y);
  }
  m_widget->resize(width > 0 ? width : 1, height > 0 ? height : 1);
  LiveViews().insert(this);
  EngineProfile::Get().AddView(this);
  m_page = new EnginePage(EngineProfile::Get().Profile(), this, m_widget);
  m_widget->setPage(m_page);
  ConnectPage();
}

EngineView::~EngineView() {
  LiveViews().erase(this);
  EngineProfile::Get().RemoveView(this);
}

EngineView* EngineView::FromHandle(WkeView handle) {
  auto* view = reinterpret_cast<EngineView*>(handle);
  return LiveViews().count(view) != 0 ? view : nullptr;
}

void EngineView::ConnectPage() {
  EnginePage* page = m_page;
  QObject::connect(
      page, &QWebEnginePage::titleChanged, m_context.get(), [this](const QString& title) {
        if (m_callbacks.titleChanged.fn != nullptr) {
          EngineText text(title);
          m_callbacks.titleChanged.fn(Handle(), m_callbacks.titleChanged.param, text.Handle());
        }
      });
  QObject::connect(page, &QWebEnginePage::urlChanged, m_context.get(), [this](const QUrl& url) {
    if (m_callbacks.urlChanged.fn != nullptr) {
      EngineText text(url.toString());
      m_callbacks.urlChanged.fn(Handle(), m_callbacks.urlChanged.param, 0, text.Handle());
    }
  });
  QObject::connect(page, &QWebEnginePage::loadFinished, m_context.get(), [this, page](bool ok) {
    if (m_callbacks.documentReady.fn != nullptr) {
      m_callbacks.documentReady.fn(Handle(), m_callbacks.documentReady.param, 0);
    }
    if (m_callbacks.loadingFinish.fn != nullptr) {
      EngineText url(page->url().toString());
      EngineText reason(ok ? QString{} : QStringLiteral("failed"));
      m_callbacks.loadingFinish.fn(Handle(), m_callbacks.loadingFinish.param, url.Handle(),
                                   ok ? 0 : 1, reason.Handle());
    }
  });
  QObject::connect(page, &QWebEnginePage::linkHovered, m_context.get(), [this](const QString& url) {
    if (m_callbacks.mouseOverUrl.fn != nullptr) {
      EngineText text(url);
      m_callbacks.mouseOverUrl.fn(Handle(), m_callbacks.mouseOverUrl.param, text.Handle());
    }
  });
  QObject::connect(page, &QWebEnginePage::newWindowRequested, m_context.get(),
                   [this](QWebEngineNewWindowRequest& request) { OnNewWindowRequested(request); });
  QObject::connect(page, &QWebEnginePage::windowCloseRequested, m_context.get(), [this] {
    // Only a top-level window closes itself; a control stays on its window.
    if (m_widget->isWindow()) {
      m_widget->close();
    }
  });
}

void EngineView::MovePageTo(QWebEngineProfile* profile) {
  EnginePage* old = m_page;
  const QUrl address = old->url();
  m_page = new EnginePage(profile, this, m_widget);
  m_widget->setPage(m_page);
  ConnectPage();
  old->Detach();
  delete old;
  if (address.isValid() && !address.isEmpty() && address.scheme() != QStringLiteral("about")) {
    m_page->setUrl(address);
  }
}

void EngineView::OnNewWindowRequested(QWebEngineNewWindowRequest& request) {
  const QRect place = request.requestedGeometry();
  const int navigationType =
      request.isUserInitiated() ? kWkeNavigationLinkClick : kWkeNavigationOther;
  if (m_callbacks.createView.fn != nullptr) {
    EngineText url(request.requestedUrl().toString());
    WkeWindowFeatures features{place.x(), place.y(), place.width(), place.height()};
    EngineView* opened = FromHandle(m_callbacks.createView.fn(
        Handle(), m_callbacks.createView.param, navigationType, url.Handle(), &features));
    if (opened != nullptr) {
      request.openIn(opened->Page());
    }
    return;
  }
  if (!m_newWindowsEnabled) {
    m_page->setUrl(request.requestedUrl());
    return;
  }
  auto* popup = new EngineView(kWkeWindowPopup, nullptr, place.x(), place.y(),
                               place.width() > 0 ? place.width() : 800,
                               place.height() > 0 ? place.height() : 600);
  // The pop-up's page must come from the asking page's profile.
  popup->SetCookiesEnabled(m_cookiesEnabled);
  request.openIn(popup->Page());
  popup->Widget()->show();
}

void EngineView::SetCookiesEnabled(bool enabled) {
  if (enabled == m_cookiesEnabled) {
    return;
  }
  m_cookiesEnabled = enabled;
  EngineProfile& profiles = EngineProfile::Get();
  MovePageTo(enabled ? profiles.Profile() : profiles.CookielessProfile());
}

const char* EngineView::KeepTitle() {
  m_title = m_page->title().toStdString();
  return m_title.c_str();
}

const char* EngineView::KeepCookieText() {
  m_cookieText = m_cookiesEnabled
                     ? EngineProfile::Get().CookieTextFor(m_page->url().toString().toStdString())
                     : std::string();
  return m_cookieText.c_str();
}

void EngineView::OnWidgetDestroyed() {
  const auto slot = m_callbacks.windowDestroy;
  m_callbacks = EngineCallbacks{};
  m_page->Detach();
  if (slot.fn != nullptr) {
    slot.fn(Handle(), slot.param);
  }
  delete this;
}

bool EngineView::AllowClose() {
  const auto& slot = m_callbacks.windowClosing;
  return slot.fn == nullptr || slot.fn(Handle(), slot.param) != 0;
}
