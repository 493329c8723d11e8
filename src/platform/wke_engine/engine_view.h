#pragma once
// The browser engine library over Qt WebEngine: one EngineView per view of
// the engine's C interface (platform/wke_api.h), shown in an EngineWidget, a
// QWebEngineView that is either a child control or a top-level window. All
// views with cookies share one off-the-record profile (EngineProfile), the
// engine's one cookie store; views whose cookies are off use a profile that
// keeps none.

#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>
#include <set>
#include <string>

#include "platform/wke_api.h"

class EngineView;
class QWebEngineProfile;

// The notifications registered for a view, each with its user value.
struct EngineCallbacks {
  template <typename Fn>
  struct Slot {
    Fn fn = nullptr;
    void* param = nullptr;
  };
  Slot<WkeDocumentReady2Callback> documentReady;
  Slot<WkeTitleChangedCallback> titleChanged;
  Slot<WkeUrlChanged2Callback> urlChanged;
  Slot<WkeNavigationCallback> navigation;
  Slot<WkeCreateViewCallback> createView;
  Slot<WkeLoadingFinishCallback> loadingFinish;
  Slot<WkeConsoleCallback> console;
  Slot<WkeAlertBoxCallback> alertBox;
  Slot<WkeConfirmBoxCallback> confirmBox;
  Slot<WkePromptBoxCallback> promptBox;
  Slot<WkeDownloadCallback> download;
  Slot<WkeLoadUrlBeginCallback> loadUrlBegin;
  // Registered and kept; Qt WebEngine reports no end of a request with its
  // data, so it is never called.
  Slot<WkeLoadUrlEndCallback> loadUrlEnd;
  Slot<WkeMouseOverUrlChangedCallback> mouseOverUrl;
  Slot<WkeWindowClosingCallback> windowClosing;
  Slot<WkeWindowDestroyCallback> windowDestroy;
  // Registered and kept; the view paints itself, nothing is handed out.
  Slot<WkePaintUpdatedCallback> paintUpdated;
};

// The page of a view: answers Qt WebEngine's questions through the view's
// notifications.
class EnginePage : public QWebEnginePage {
 public:
  EnginePage(QWebEngineProfile* profile, EngineView* view, QObject* parent);
  // The view, or null once the view is gone.
  EngineView* View() const { return m_view; }
  void Detach() { m_view = nullptr; }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  void javaScriptAlert(const QUrl& origin, const QString& message) override;
  bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
  bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int lineNumber, const QString& sourceId) override;
  QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                          const QStringList& acceptedMimeTypes) override;

 private:
  EngineView* m_view;
};

// The browser window of a view. Destroying it notifies the view's window
// destroy notification first, then releases the view.
class EngineWidget : public QWebEngineView {
 public:
  EngineWidget(EngineView* view, QWidget* parent);
  ~EngineWidget() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  EngineView* m_view;
};

class EngineView {
 public:
  EngineView(int type, QWidget* parent, int x, int y, int width, int height);
  ~EngineView();
  EngineView(const EngineView&) = delete;
  EngineView& operator=(const EngineView&) = delete;

  // The view behind a handle the program passes, or null when it names no
  // live view.
  static EngineView* FromHandle(WkeView handle);
  WkeView Handle() { return reinterpret_cast<WkeView>(this); }

  EngineWidget* Widget() const { return m_widget; }
  EnginePage* Page() const { return m_page; }
  EngineCallbacks& Callbacks() { return m_callbacks; }

  // Puts the view on a new page of `profile`, loading the old page's address
  // again (the old page is deleted).
  void MovePageTo(QWebEngineProfile* profile);

  void SetNewWindowsEnabled(bool enabled) { m_newWindowsEnabled = enabled; }
  void SetUserAgent(const std::string& userAgent) { m_userAgent = userAgent; }
  const std::string& UserAgent() const { return m_userAgent; }
  // Off: the view moves onto the profile without cookies (reloading its
  // address); on: back onto the shared one.
  void SetCookiesEnabled(bool enabled);
  bool CookiesEnabled() const { return m_cookiesEnabled; }

  // Texts handed out to the program; valid until the next call of the same kind.
  const char* KeepTitle();
  const char* KeepCookieText();

  // The widget's end: the destroy notification, then the view goes.
  void OnWidgetDestroyed();
  // A close of the top-level window: asks the closing notification.
  bool AllowClose();
  // A page's request for a new window, opened in `request`'s page or refused.
  void OnNewWindowRequested(class QWebEngineNewWindowRequest& request);

 private:
  void ConnectPage();

  // Receiver of the page's signals: the connections end with the view.
  std::unique_ptr<QObject> m_context = std::make_unique<QObject>();
  EngineWidget* m_widget = nullptr;
  EnginePage* m_page = nullptr;
  EngineCallbacks m_callbacks;
  bool m_newWindowsEnabled = true;
  bool m_cookiesEnabled = true;
  std::string m_userAgent;
  std::string m_title;
  std::string m_cookieText;
};

// The process's file chooser callback (wkeOnFileChooser).
extern WkeFileChooserCallback g_fileChooserCallback;
extern void* g_fileChooserParam;
