#include "ui/signin/browser_host_window.h"

#include <QQuickWidget>
#include <QWidget>

void PrepareBrowserHostWindow(QWidget& window) {
  auto* gpuDrawn = new QQuickWidget(&window);
  gpuDrawn->setObjectName(QStringLiteral("browserHostSurface"));
  gpuDrawn->setGeometry(0, 0, 1, 1);
  gpuDrawn->hide();
}
