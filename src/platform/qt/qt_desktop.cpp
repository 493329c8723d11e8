#include "platform/qt/qt_desktop.h"

#include "platform/code_page_codec.h"
#include "platform/qt/desktop_opener.h"
#include "platform/qt/qt_window_handle.h"
#include "platform/qt/ui_thread.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <condition_variable>
#include <vector>

struct QtDesktop::PendingCall {
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  int result = 0;

  void Complete(int value) {
    std::lock_guard lock(mutex);
    if (done)
      return;
    result = value;
    done = true;
    answered.notify_all();
  }
};

namespace {

// How often a box with a time-out looks at a test clock (real milliseconds).
constexpr int kTestClockPollMs = 5;
// The object name of every message box (tests find the boxes by it).
const QString kBoxObjectName = QStringLiteral("quillmere_message_box");
// How often a local event loop asks its stop condition.
constexpr int kStopPollMs = 10;

QString ToQString(std::string_view localText) {
  return QString::fromStdU16String(DecodeToUtf16(localText, kCodePageLocal));
}

struct ButtonSpec {
  QMessageBox::StandardButton standard;
  const char16_t* label;
  int result;
};

// The buttons of each box type (its low four bits) and the answer that closing
// the box without a button gives.
std::vector<ButtonSpec> ButtonsFor(int type, int& escapeResult) {
  const ButtonSpec ok{QMessageBox::Ok, u"确定", kBoxResultOk};
  const ButtonSpec cancel{QMessageBox::Cancel, u"取消", 2};
  const ButtonSpec yes{QMessageBox::Yes, u"是(&Y)", kBoxResultYes};
  const ButtonSpec no{QMessageBox::No, u"否(&N)", kBoxResultNo};
  const ButtonSpec abort{QMessageBox::Abort, u"中止(&A)", 3};
  const ButtonSpec retry{QMessageBox::Retry, u"重试(&R)", 4};
  const ButtonSpec ignore{QMessageBox::Ignore, u"忽略(&I)", 5};
  switch (type & 0xF) {
    case 1:
      escapeResult = 2;
      return {ok, cancel};
    case 2:
      escapeResult = 3;
      return {abort, retry, ignore};
    case 3:
      escapeResult = 2;
      return {yes, no, cancel};
    case 4:
      escapeResult = kBoxResultNo;
      return {yes, no};
    case 5:
      escapeResult = 2;
      return {retry, cancel};
    default:
      escapeResult = kBoxResultOk;
      return {ok};
  }
}

QMessageBox::Icon IconFor(int type) {
  switch (type & 0xF0) {
    case kBoxIconError:
      return QMessageBox::Critical;
    case kBoxIconQuestion:
      return QMessageBox::Question;
    case kBoxIconWarning:
      return QMessageBox::Warning;
    case kBoxIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// A window manager shows a title that does not fit between the frame's
// buttons as "…", and many centre it, which takes the width of the frame's
// icon and three buttons on both sides. Qt sizes a box by its text and buttons
// and leaves a title little room: the box is widened (through its button row,
// which spans it, so that Qt's own sizing keeps the width) to the title in the
// title bar's bold font plus eight slots of about the title bar's height.
void FitTitle(QMessageBox* box, const QString& title) {
  constexpr int kFrameSlots = 8;
  constexpr int kSlotPadding = 4;
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const QFontMetrics metrics(font);
  const int wide =
      metrics.horizontalAdvance(title) + kFrameSlots * (metrics.height() + kSlotPadding);
  auto* buttons = box->findChild<QDialogButtonBox*>();
  if (buttons == nullptr || box->layout() == nullptr)
    return;
  const QMargins margins = box->layout()->contentsMargins();
  buttons->setMinimumWidth(wide - margins.left() - margins.right());
}

// Qt blocks input to every window that is neither the newest modal window nor
// in front of it (transient for it, directly or through other windows). A box
// that a modal window opened after it blocks steps in front of that window:
// it becomes transient for it and is raised, so it stays answerable by mouse
// and keyboard. When that modal window closes while an older one stays open,
// the box is blocked again and steps in front of the older one. A modal window
// that itself stands in front of the box is left so (no circle of windows each
// in front of the other); the program opens none.
class KeepAnswerable final : public QObject {
 public:
  explicit KeepAnswerable(QMessageBox* box) : QObject(box), m_box(box) {
    box->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The event comes while Qt works through the blocked state of every window:
    // step in front once that is done.
    if (watched == m_box && event->type() == QEvent::WindowBlocked)
      QMetaObject::invokeMethod(
          this, [this] { StepInFrontOfModal(); }, Qt::QueuedConnection);
    return false;
  }

 private:
  void StepInFrontOfModal() {
    QWindow* const handle = m_box->windowHandle();
    QWindow* const modal = QGuiApplication::modalWindow();
    if (!m_box->isVisible() || handle == nullptr || modal == nullptr || modal == handle ||
        handle->isAncestorOf(modal, QWindow::IncludeTransients))
      return;
    handle->setTransientParent(modal);
    m_box->raise();
  }

  QMessageBox* m_box;
};

// Shows a non-modal box in front of `front` (none: in front of nothing in
// particular) and calls done(result) exactly once: when it closes, or with the
// escape result when the box goes away unanswered. The box belongs to no
// window: it is only transient for `front`, which puts it above that window
// and, when `front` is modal, leaves it unblocked; a window closing meanwhile
// does not take the box along, and a modal window opened later does not block
// it (KeepAnswerable). UI thread.
void OpenBox(QWidget* front, const QString& caption, const QString& text, int type,
             std::int64_t timeoutMs, std::function<void(int)> whenClosed) {
  auto* box = new QMessageBox();
  box->setObjectName(kBoxObjectName);
  box->setWindowModality(Qt::NonModal);
  box->setWindowTitle(caption);
  // Service replies and file names may begin with "<": never rich text.
  box->setTextFormat(Qt::PlainText);
  box->setText(text);
  box->setIcon(IconFor(type));
  int escapeResult = kBoxResultOk;
  const std::vector<ButtonSpec> choices = ButtonsFor(type, escapeResult);
  auto results = std::make_shared<std::map<QAbstractButton*, int>>();
  for (const ButtonSpec& choice : choices) {
    QPushButton* button = box->addButton(choice.standard);
    button->setText(QString::fromUtf16(choice.label));
    (*results)[button] = choice.result;
    if (choice.result == escapeResult)
      box->setEscapeButton(button);
  }
  FitTitle(box, caption);
  const std::size_t defaultIndex = static_cast<std::size_t>((type >> 8) & 0xF);
  if (defaultIndex < choices.size())
    box->setDefaultButton(qobject_cast<QPushButton*>(box->button(choices[defaultIndex].standard)));

  auto answered = std::make_shared<bool>(false);
  auto done = [answered, whenClosed](int result) {
    if (*answered)
      return;
    *answered = true;
    whenClosed(result);
  };
  QObject::connect(box, &QObject::destroyed, [done, escapeResult] { done(escapeResult); });
  auto timedOut = std::make_shared<bool>(false);
  QObject::connect(box, &QDialog::finished, box, [box, results, timedOut, escapeResult, done] {
    auto it = results->find(box->clickedButton());
    done(*timedOut ? kBoxResultTimedOut : it != results->end() ? it->second : escapeResult);
    box->deleteLater();
  });

  if (timeoutMs > 0) {
    const auto expire = [box, timedOut] {
      *timedOut = true;
      box->done(0);
    };
    Clock& clock = GetClock();
    if (clock.IsReal() || timeoutMs > INT32_MAX) {
      QTimer::singleShot(static_cast<int>(std::min<std::int64_t>(timeoutMs, INT32_MAX)), box,
                         expire);
    } else {
      // A test clock moves only when the test moves it: look at it often.
      const std::int64_t due = clock.SteadyMs() + timeoutMs;
      auto* poll = new QTimer(box);
      QObject::connect(poll, &QTimer::timeout, box, [due, expire, poll] {
        if (GetClock().SteadyMs() >= due) {
          poll->stop();
          expire();
        }
      });
      poll->start(kTestClockPollMs);
    }
  }
  if (front != nullptr && front->windowHandle() != nullptr) {
    box->createWinId();
    box->windowHandle()->setTransientParent(front->windowHandle());
  }
  new KeepAnswerable(box);
  box->show();
  box->raise();
  box->activateWindow();
}

// Opens a box in front of `front` and waits for its answer in a local event
// loop, which keeps the windows (and other boxes) working. UI thread.
int AnswerBoxHere(QWidget* front, const QString& caption, const QString& text, int type,
                  std::int64_t timeoutMs) {
  int result = kBoxResultNone;
  bool closed = false;
  QEventLoop loop;
  OpenBox(front, caption, text, type, timeoutMs, [&](int value) {
    result = value;
    closed = true;
    loop.quit();
  });
  if (!closed)
    loop.exec();
  return result;
}

bool IsBox(const QWidget* window) {
  return qobject_cast<const QMessageBox*>(window) != nullptr &&
         window->objectName() == kBoxObjectName;
}

// The window that `window` stands in front of: its owner, or the window it is
// transient for; null when there is none.
QWidget* WindowBehind(const QWidget* window) {
  if (window->parentWidget() != nullptr)
    return window->parentWidget()->window();
  const QWindow* handle = window->windowHandle();
  const QWindow* behind = handle != nullptr ? handle->transientParent() : nullptr;
  if (behind == nullptr)
    return nullptr;
  for (QWidget* candidate : QApplication::topLevelWidgets())
    if (candidate->windowHandle() == behind)
      return candidate;
  return nullptr;
}

}  // namespace

void BringOpenBoxesToFront() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (IsBox(widget) && widget->isVisible()) {
      widget->raise();
      widget->activateWindow();
    }
  }
}

QtDesktop::QtDesktop() = default;

QWidget* QtDesktop::BoxFront() const {
  // A modal window blocks every window that does not stand in front of it.
  if (QWidget* modal = QApplication::activeModalWidget())
    return modal;
  // Right after a box is answered it is hidden but may still be the active
  // window until the window system says otherwise; boxes stand beside each
  // other in front of the same window rather than in front of each other.
  QWidget* window = QApplication::activeWindow();
  while (window != nullptr && (!window->isVisible() || IsBox(window)))
    window = WindowBehind(window);
  if (window == nullptr && m_mainWindow != nullptr && m_mainWindow->isVisible())
    window = m_mainWindow;
  return window;
}

void QtDesktop::SetMainWindow(QWidget* window) {
  m_mainWindow = window;
}

QtDesktop::~QtDesktop() {
  std::set<std::shared_ptr<PendingCall>> pending;
  {
    std::lock_guard lock(m_mutex);
    m_closing = true;
    pending.swap(m_pending);
  }
  for (const auto& call : pending)
    call->Complete(kBoxResultNone);
}

bool QtDesktop::IsUiThread() const {
  return QCoreApplication::instance() != nullptr &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

int QtDesktop::CallOnUiThread(std::function<int()> call) {
  if (IsUiThread())
    return call();
  return AwaitUiThread([call](std::shared_ptr<PendingCall> pending) { pending->Complete(call()); });
}

int QtDesktop::AwaitUiThread(std::function<void(std::shared_ptr<PendingCall>)> start) {
  auto pending = std::make_shared<PendingCall>();
  {
    std::lock_guard lock(m_mutex);
    if (m_closing)
      return kBoxResultNone;
    m_pending.insert(pending);
  }
  RunOnUiThread(&m_context, [pending, start] { start(pending); });
  // Deliberately blocking crossing: only the calling worker waits for the
  // user-interface thread, which never waits for a worker.
  {
    std::unique_lock lock(pending->mutex);
    pending->answered.wait(lock, [&] { return pending->done; });
  }
  std::lock_guard lock(m_mutex);
  m_pending.erase(pending);
  return pending->result;
}

int QtDesktop::ShowMessageBox(std::string_view caption, std::string_view text, int type,
                              std::int64_t timeoutMs) {
  return ShowBox(ToQString(caption), ToQString(text), type, timeoutMs);
}

int QtDesktop::ShowMessageBoxUtf16(std::string_view caption, std::string_view utf16Bytes, int type,
                                   std::int64_t timeoutMs) {
  return ShowBox(ToQString(caption), QString::fromStdU16String(DesktopUtf16Units(utf16Bytes)), type,
                 timeoutMs);
}

int QtDesktop::ShowBox(const QString& caption, const QString& text, int type,
                       std::int64_t timeoutMs) {
  if (IsUiThread())
    return AnswerBoxHere(BoxFront(), caption, text, type, timeoutMs);
  return AwaitUiThread(
      [this, caption, text, type, timeoutMs](std::shared_ptr<PendingCall> pending) {
        OpenBox(BoxFront(), caption, text, type, timeoutMs,
                [pending](int value) { pending->Complete(value); });
      });
}

int QtDesktop::ShowOwnedMessageBox(WindowHandle owner, std::string_view caption,
                                   std::string_view text, int type, std::int64_t timeoutMs) {
  QWidget* window = WidgetOf(owner);
  if (window == nullptr || !IsUiThread()) {
    return ShowMessageBox(caption, text, type, timeoutMs);
  }
  return AnswerBoxHere(window->window(), ToQString(caption), ToQString(text), type, timeoutMs);
}

void QtDesktop::SetStatusPanel(int panel, std::string_view text) {
  PostStatus(panel, ToQString(text));
}

void QtDesktop::SetStatusPanelUtf16(int panel, std::string_view utf16Bytes) {
  PostStatus(panel, QString::fromStdU16String(DesktopUtf16Units(utf16Bytes)));
}

void QtDesktop::PostStatus(int panel, QString text) {
  {
    std::lock_guard lock(m_mutex);
    m_panelTexts[panel] = std::move(text);
  }
  if (IsUiThread())
    ShowPanelText(panel);
  else
    RunOnUiThread(&m_context, [this, panel] { ShowPanelText(panel); });
}

void QtDesktop::ShowPanelText(int panel) {
  auto label = m_panelLabels.find(panel);
  if (label == m_panelLabels.end() || label->second.isNull())
    return;
  label->second->setText(StatusPanelText(panel));
}

void QtDesktop::BindStatusPanel(int panel, QLabel* label) {
  if (label != nullptr)
    label->setTextFormat(Qt::PlainText);
  m_panelLabels[panel] = label;
  ShowPanelText(panel);
}

QString QtDesktop::StatusPanelText(int panel) const {
  std::lock_guard lock(m_mutex);
  auto it = m_panelTexts.find(panel);
  return it == m_panelTexts.end() ? QString() : it->second;
}

int QtDesktop::OpenTarget(std::string_view target) {
  const QUrl url = QUrl::fromUserInput(ToQString(target));
  if (!url.isValid() || url.isEmpty())
    return 2;
  return CallOnUiThread([url] { return OpenUrlOnDesktop(url) ? 42 : 2; });
}

void QtDesktop::PumpEvents() {
  if (IsUiThread())
    QCoreApplication::processEvents();
}

bool QtDesktop::PumpEventsFor(std::int64_t ms, const StopCondition& stop) {
  if (!IsUiThread())
    return GetClock().SleepFor(ms, stop);
  QCoreApplication::processEvents();
  if (stop && stop())
    return false;
  if (ms <= 0)
    return true;
  Clock& clock = GetClock();
  if (!clock.IsReal())
    return clock.SleepFor(ms, stop);
  QEventLoop loop;
  bool stopped = false;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(static_cast<int>(std::min<std::int64_t>(ms, INT32_MAX)));
  QTimer poll;
  if (stop) {
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (stop()) {
        stopped = true;
        loop.quit();
      }
    });
    poll.start(kStopPollMs);
  }
  loop.exec();
  return !stopped;
}
