#include "platform/wv2_bridge/bridge_environment.h"

#include <QCoreApplication>
#include <QStringList>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

BridgeBrowserArguments ParseBrowserArguments(const QString& arguments) {
  BridgeBrowserArguments known;
  for (const QString& argument : arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (argument == QStringLiteral("--allow-file-access-from-files")) {
      known.fileAccessFromFiles = true;
    } else if (argument == QStringLiteral("--autoplay-policy=no-user-gesture-required")) {
      known.autoplayWithoutGesture = true;
    }
  }
  return known;
}

BridgeProfile::BridgeProfile(const BridgeBrowserArguments& arguments)
    // A profile without a storage name is off the record.
    : m_profile(new QWebEngineProfile(QCoreApplication::instance())) {
  QWebEngineSettings* settings = m_profile->settings();
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls,
                         arguments.fileAccessFromFiles);
  settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture,
                         !arguments.autoplayWithoutGesture);
  m_cookies.Follow(m_profile->cookieStore());
}
