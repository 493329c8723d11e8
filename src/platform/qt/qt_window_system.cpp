#include "platform/qt/qt_window_system.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include "platform/qt/qt_window_handle.h"
#include "platform/qt/ui_thread.h"

namespace {

bool OnUiThread() {
  return QCoreApplication::instance() != nullptr &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The outer rectangle of a widget in global coordinates.
QRect OuterRect(QWidget* widget) {
  if (widget->isWindow()) {
    return widget->frameGeometry();
  }
  return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// A frameless, click-through window on top of everything that draws a
// rectangle outline along its own edge.
class OutlineWindow final : public QWidget {
 public:
  OutlineWindow(const QRect& rect, int penWidth, const QColor& colour)
      : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus),
        m_penWidth(penWidth),
        m_colour(colour) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(rect);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QPen pen(m_colour, m_penWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    int inset = m_penWidth / 2;
    painter.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
  }

 private:
  int m_penWidth;
  QColor m_colour;
};

ScreenMetrics ReadMetrics() {
  ScreenMetrics metrics;
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    metrics.logicalDpiX = qRound(screen->logicalDotsPerInchX());
    metrics.logicalDpiY = qRound(screen->logicalDotsPerInchY());
    metrics.devicePixelRatio = screen->devicePixelRatio();
  }
  return metrics;
}

}  // namespace

QtWindowSystem::QtWindowSystem() : m_metrics(ReadMetrics()) {}

QtWindowSystem::~QtWindowSystem() = default;

ScreenMetrics QtWindowSystem::GetScreenMetrics() {
  std::lock_guard<std::mutex> lock(m_metricsMutex);
  // The screen is read on the user-interface thread only; workers get the
  // last values read there.
  if (OnUiThread()) {
    m_metrics = ReadMetrics();
  }
  return m_metrics;
}

std::vector<WindowHandle> QtWindowSystem::ChildWindows(WindowHandle window) {
  std::vector<WindowHandle> children;
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return children;
  }
  for (QObject* child : widget->children()) {
    auto* control = qobject_cast<QWidget*>(child);
    if (control != nullptr && !control->isWindow()) {
      children.push_back(WindowHandleOf(control));
    }
  }
  return children;
}

WindowHandle QtWindowSystem::ParentWindow(WindowHandle window) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr || widget->isWindow()) {
    return 0;
  }
  return WindowHandleOf(widget->parentWidget());
}

bool QtWindowSystem::GetWindowRect(WindowHandle window, WindowRect& rect) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return false;
  }
  QRect outer = OuterRect(widget);
  rect = {outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()};
  return true;
}

bool QtWindowSystem::GetClientSize(WindowHandle window, int& width, int& height) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return false;
  }
  width = widget->width();
  height = widget->height();
  return true;
}

bool QtWindowSystem::ScreenToClient(WindowHandle window, int& x, int& y) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return false;
  }
  QPoint local = widget->mapFromGlobal(QPoint(x, y));
  x = local.x();
  y = local.y();
  return true;
}

void QtWindowSystem::MoveWindow(WindowHandle window, int x, int y, int width, int height) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return;
  }
  if (!widget->isWindow()) {
    widget->setGeometry(x, y, width, height);
    return;
  }
  // The frame keeps its thickness: the client area takes what is left.
  QRect frame = widget->frameGeometry();
  QRect client = widget->geometry();
  int left = client.x() - frame.x();
  int top = client.y() - frame.y();
  widget->setGeometry(x + left, y + top, width - (frame.width() - client.width()),
                      height - (frame.height() - client.height()));
}

void QtWindowSystem::ToggleOutline(WindowHandle window, int penWidth, unsigned colour) {
  if (QThread::currentThread() == m_context.thread()) {
    ToggleOnUiThread(window, penWidth, colour);
    return;
  }
  // Bound to this object's context: dropped once the window system is gone.
  RunOnUiThread(&m_context,
                [this, window, penWidth, colour] { ToggleOnUiThread(window, penWidth, colour); });
}

void QtWindowSystem::ToggleOnUiThread(WindowHandle window, int penWidth, unsigned colour) {
  OutlineKey key{window, penWidth, colour};
  auto it = m_outlines.find(key);
  if (it != m_outlines.end()) {
    m_outlines.erase(it);
    return;
  }
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return;
  }
  QRect outer = OuterRect(widget);
  WindowRect inside = OutlineRectangle(
      {outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()});
  QColor penColour(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                   static_cast<int>((colour >> 16) & 0xFF));
  auto outline = std::make_unique<OutlineWindow>(
      QRect(inside.left, inside.top, inside.Width(), inside.Height()), penWidth, penColour);
  outline->show();
  m_outlines[key] = std::move(outline);
}
