#pragma once
// An environment of the bridge: a browser profile of its own, off the record,
// so that each environment starts with an empty cookie store (also while the
// environments made before it live on) and nothing reaches the disk. Of the
// browser arguments it knows two and turns them into the profile's settings;
// others are ignored.

#include <QPointer>
#include <QString>
#include <QWebEngineProfile>
#include <memory>

#include "platform/web_engine_support/web_engine_cookie_copy.h"
#include "platform/wv2_bridge/bridge_objects.h"

// The browser arguments the bridge understands.
struct BridgeBrowserArguments {
  // "--allow-file-access-from-files": pages from files may read file addresses.
  bool fileAccessFromFiles = false;
  // "--autoplay-policy=no-user-gesture-required": media plays without a gesture.
  bool autoplayWithoutGesture = false;
};

BridgeBrowserArguments ParseBrowserArguments(const QString& arguments);

// The profile with the copy of its cookie store. Shared by the environment and
// everything made from it, so that views and cookie managers keep it after
// the environment's handle is released. The profile itself stays until the
// application ends (pages that Qt still holds may use it).
class BridgeProfile {
 public:
  explicit BridgeProfile(const BridgeBrowserArguments& arguments);
  BridgeProfile(const BridgeProfile&) = delete;
  BridgeProfile& operator=(const BridgeProfile&) = delete;

  QWebEngineProfile* Profile() const { return m_profile; }
  const std::vector<BrowserCookie>& Cookies() const { return m_cookies.Cookies(); }

 private:
  QPointer<QWebEngineProfile> m_profile;
  WebEngineCookieCopy m_cookies;
};

class BridgeEnvironment : public BridgeObject {
 public:
  explicit BridgeEnvironment(std::shared_ptr<BridgeProfile> profile)
      : m_profile(std::move(profile)) {}
  const std::shared_ptr<BridgeProfile>& Profile() const { return m_profile; }

 private:
  std::shared_ptr<BridgeProfile> m_profile;
};
