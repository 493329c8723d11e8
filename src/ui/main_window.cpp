#include "ui/main_window.h"

#include <QLabel>
#include <QStatusBar>

#include "platform/desktop.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_window_handle.h"
#include "platform/qt/ui_thread.h"
#include "ui/control_binding.h"
#include "ui/design_font.h"
#include "ui/main_window_layout.h"
#include "ui/qt_text.h"
#include "ui/status_line_label.h"

int g_lastWindowTop = 0;

namespace {

// Design size of the controls' area at 96 DPI; the status bar docks below it
// at the height its font needs.
constexpr int kClientWidth = 981;
constexpr int kControlsHeight = 650;
constexpr QPoint kWindowPlace{50, 50};

}  // namespace

MainWindow::MainWindow(ControlStore& store, QWidget* parent)
    : QMainWindow(parent), m_store(store), m_endProcess(&EndProcessNow) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QtText(u"Tarrowby-Quillmere"));
  UseDesignFont(*this);

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("MainWindowClient"));
  client->setMinimumSize(kClientWidth, kControlsHeight);
  setCentralWidget(client);
  BuildMainWindowControls(client);
  BuildStatusBar();
  BuildMenus();
  BindEvents();
  m_binding = new ControlBinding(this, m_store);

  move(kWindowPlace);
  resize(kClientWidth, kControlsHeight + statusBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildStatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QtText(u"状态条1"));
  bar->setSizeGripEnabled(false);
  for (int i = 0; i < 3; ++i) {
    QLabel* panel = i == 1 ? new StatusLineLabel(QtText(kStatusPanels[i].text), bar)
                           : new QLabel(QtText(kStatusPanels[i].text), bar);
    panel->setObjectName(QtText(u"状态条1:") + QString::number(i));
    panel->setTextFormat(Qt::PlainText);
    if (i == 1) {
      // The status line takes what the window leaves beside the other two
      // panels, up to its own width, and fits a longer line into that.
      panel->setMinimumWidth(0);
      panel->setMaximumWidth(kStatusPanels[i].width);
      panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      bar->addWidget(panel, 1);
    } else if (i == 0) {
      panel->setFixedWidth(kStatusPanels[i].width);
      bar->addWidget(panel);
    } else {
      // The submission panel takes what its text needs, up to its width: empty
      // (it is emptied when a rename run ends) it leaves the whole rest of the
      // bar to the status line, so a run's summary shows whole.
      panel->setMinimumWidth(0);
      panel->setMaximumWidth(kStatusPanels[i].width);
      panel->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
      bar->addPermanentWidget(panel);
    }
  }
  setStatusBar(bar);
  // The status line (panel 1) and the batch submission panel (panel 2) are
  // written from any thread through the desktop; panel 0 keeps its caption.
  // Boxes asked while no window of the program is active stand in front of
  // this window.
  if (auto* desktop = dynamic_cast<QtDesktop*>(&GetDesktop())) {
    desktop->SetMainWindow(this);
    for (int panel = 1; panel < 3; ++panel) {
      desktop->BindStatusPanel(
          panel, bar->findChild<QLabel*>(QtText(u"状态条1:") + QString::number(panel)));
    }
  }
}

QWidget* MainWindow::Control(std::u16string_view name) const {
  const QString wanted = QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
  return findChild<QWidget*>(wanted);
}

void MainWindow::Run(const MainWindowHandlers::Action& handler) const {
  if (handler) {
    handler();
  }
}

void MainWindow::RunOnUiThreadAndWait(const std::function<void()>& work) {
  // Deliberately blocking: the worker waits until the user-interface thread
  // has handled the request, as a synchronously sent message would.
  ::RunOnUiThreadAndWait(this, work);
}
