#include "platform/qt/browser_trust.h"

#include <QCoreApplication>
#include <QString>
#include <QVariant>

namespace {

constexpr const char* kExtraCaFileProperty = "quillmereBrowserExtraCaFile";

}  // namespace

void PublishBrowserExtraCaFile(const std::string& caFile) {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    app->setProperty(kExtraCaFileProperty, QString::fromStdString(caFile));
  }
}

std::string PublishedBrowserExtraCaFile() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr ? app->property(kExtraCaFileProperty).toString().toStdString()
                        : std::string();
}
