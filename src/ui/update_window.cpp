#include "ui/update_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <thread>

#include "foundation/screen_scaling.h"
#include "platform/qt/qt_window_handle.h"
#include "platform/qt/ui_thread.h"
#include "ui/control_binding.h"
#include "ui/qt_text.h"
#include "ui/start_up.h"

namespace {

constexpr int kDesignDpi = 96;
constexpr QSize kDesignSize{338, 318};

template <typename Widget>
Widget* Place(QWidget* parent, const char16_t* name, QRect place) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QtText(name));
  widget->setGeometry(place);
  return widget;
}

QLabel* Label(QWidget* parent, const char16_t* name, const char16_t* text, QRect place) {
  QLabel* label = Place<QLabel>(parent, name, place);
  label->setText(QtText(text));
  label->setTextFormat(Qt::PlainText);
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

QPushButton* Button(QWidget* parent, const char16_t* name, const char16_t* caption, QRect place,
                    bool enabled) {
  QPushButton* button = Place<QPushButton>(parent, name, place);
  button->setText(QtText(caption));
  button->setEnabled(enabled);
  // No button is the default or takes the focus on its own: Enter starts
  // nothing.
  button->setAutoDefault(false);
  button->setFocusPolicy(Qt::ClickFocus);
  return button;
}

}  // namespace

UpdateWindow::UpdateWindow(UpdaterServices services, QWidget* parent)
    : QDialog(parent), m_session(std::make_shared<UpdateSession>()) {
  setObjectName(QStringLiteral("UpdateWindow"));
  setWindowTitle(QtText(u"检测新版本"));
  resize(kDesignSize);
  m_session->services = std::move(services);
  QPointer<UpdateWindow> self(this);
  m_session->closeWindow = [self] {
    PostToUiThread([self] {
      if (self) {
        self->close();
      }
    });
  };
  BuildControls();
  m_binding = new ControlBinding(this, *m_session->store);
}

UpdateWindow::~UpdateWindow() {
  // The binding goes before the session (and perhaps its store) does.
  delete m_binding;
}

void UpdateWindow::BuildControls() {
  Label(this, u"透明标签1", u"最新版本：检测中", {16, 8, 288, 32});
  Label(this, u"透明标签2", u"当前版本：", {16, 32, 288, 32});
  Label(this, u"透明标签3", u"更新内容：", {16, 58, 288, 32});
  auto* focus = Place<QLineEdit>(this, u"编辑框2", {248, 48, 56, 24});
  focus->setVisible(false);
  auto* notes = Place<QPlainTextEdit>(this, u"超级编辑框1", {10, 90, 312, 136});
  notes->setReadOnly(true);
  QPushButton* start = Button(this, u"按钮_开始更新程序", u"开始更新", {16, 241, 72, 32}, false);
  QPushButton* download = Button(this, u"按钮2", u"手动下载", {130, 241, 72, 32}, false);
  QPushButton* later = Button(this, u"按钮3", u"下次再说", {239, 241, 72, 32}, true);
  connect(start, &QPushButton::clicked, this, [this] { StartUpdate(m_session); });
  connect(download, &QPushButton::clicked, this, [this] { OpenDownloadPage(m_session->services); });
  connect(later, &QPushButton::clicked, this, &QDialog::close);
}

void UpdateWindow::OnCreated() {
  RescaleWindowForDpi(WindowHandleOf(this), kDesignDpi);
  m_session->store->SetText(kUpdateCurrentLabel, "当前版本： " + g_programVersion);
  if (QWidget* focus = findChild<QWidget*>(QtText(u"编辑框2"))) {
    focus->setFocus();
  }
  std::thread([session = m_session] { FetchUpdateInfo(*session); }).detach();
}

void OpenUpdateWindowModal(const UpdaterServices& services, QWidget* owner) {
  UpdateWindow window(services, owner);
  window.OnCreated();
  window.exec();
}
