#include "platform/qt/window_procedure.h"

#include <QChildEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>

#include "platform/qt/qt_window_handle.h"

namespace {

// What the chain did with one message.
struct Delivery {
  bool passed = false;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

Delivery* s_delivery = nullptr;
bool s_hasModifiers = false;
ModifierKeys s_modifiers;
bool s_synthesizing = false;

class ProcedureFilter;

struct WindowRecord {
  WindowProcedure procedure = DefaultWindowProcedure;
  std::unique_ptr<ProcedureFilter> filter;
  std::map<std::string, void*> properties;
};

std::map<WindowHandle, WindowRecord>& Records() {
  static auto* records = new std::map<WindowHandle, WindowRecord>;
  return *records;
}

ModifierKeys ModifiersOf(Qt::KeyboardModifiers modifiers) {
  return {modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
          modifiers.testFlag(Qt::AltModifier)};
}

// The virtual-key code of a Qt key (0 for keys without one).
unsigned VirtualKeyOf(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return static_cast<unsigned>(key);
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    return 0x70 + static_cast<unsigned>(key - Qt::Key_F1);
  }
  static const std::map<int, unsigned> table = {
      {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},   {Qt::Key_Backtab, 0x09},
      {Qt::Key_Return, 0x0D},    {Qt::Key_Enter, 0x0D}, {Qt::Key_Shift, 0x10},
      {Qt::Key_Control, 0x11},   {Qt::Key_Alt, 0x12},   {Qt::Key_Pause, 0x13},
      {Qt::Key_CapsLock, 0x14},  {Qt::Key_Escape, 0x1B}, {Qt::Key_Space, 0x20},
      {Qt::Key_PageUp, 0x21},    {Qt::Key_PageDown, 0x22}, {Qt::Key_End, 0x23},
      {Qt::Key_Home, 0x24},      {Qt::Key_Left, 0x25},  {Qt::Key_Up, 0x26},
      {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},  {Qt::Key_Insert, 0x2D},
      {Qt::Key_Delete, 0x2E},
  };
  const auto it = table.find(key);
  return it != table.end() ? it->second : 0;
}

std::uintptr_t MouseFlags(const QMouseEvent& event) {
  std::uintptr_t flags = 0;
  if (event.buttons().testFlag(Qt::LeftButton)) flags |= 0x0001;
  if (event.buttons().testFlag(Qt::RightButton)) flags |= 0x0002;
  if (event.modifiers().testFlag(Qt::ShiftModifier)) flags |= 0x0004;
  if (event.modifiers().testFlag(Qt::ControlModifier)) flags |= 0x0008;
  if (event.buttons().testFlag(Qt::MiddleButton)) flags |= 0x0010;
  return flags;
}

// Runs the window's chain for one message.
Delivery Dispatch(WindowHandle window, unsigned message, std::uintptr_t wParam,
                  std::intptr_t lParam, Qt::KeyboardModifiers modifiers) {
  Delivery delivery;
  const auto it = Records().find(window);
  if (it == Records().end()) {
    return {true, wParam, lParam};
  }
  Delivery* outer = s_delivery;
  const bool outerHas = s_hasModifiers;
  const ModifierKeys outerModifiers = s_modifiers;
  s_delivery = &delivery;
  s_hasModifiers = true;
  s_modifiers = ModifiersOf(modifiers);
  it->second.procedure(window, message, wParam, lParam);
  s_delivery = outer;
  s_hasModifiers = outerHas;
  s_modifiers = outerModifiers;
  return delivery;
}

class ProcedureFilter : public QObject {
 public:
  ProcedureFilter(QWidget* widget, WindowHandle handle) : m_widget(widget), m_handle(handle) {
    Watch(widget);
  }

  void Watch(QObject* object) {
    object->installEventFilter(this);
    for (QObject* child : object->children()) {
      if (child->isWidgetType()) {
        Watch(child);
      }
    }
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (s_synthesizing || m_widget.isNull()) {
      return false;
    }
    switch (event->type()) {
      case QEvent::ChildAdded: {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
          Watch(child);
        }
        return false;
      }
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
        return OnMouse(watched, *static_cast<QMouseEvent*>(event));
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        return OnKey(watched, *static_cast<QKeyEvent*>(event));
      case QEvent::FocusIn:
      case QEvent::FocusOut: {
        const unsigned message = event->type() == QEvent::FocusIn ? kWmSetFocus : kWmKillFocus;
        return !Dispatch(m_handle, message, 0, 0, QGuiApplication::keyboardModifiers()).passed;
      }
      default:
        return false;
    }
  }

 private:
  bool OnMouse(QObject* watched, const QMouseEvent& event) {
    unsigned message = 0;
    const bool left = event.button() == Qt::LeftButton;
    const bool right = event.button() == Qt::RightButton;
    switch (event.type()) {
      case QEvent::MouseButtonPress:
        message = left ? kWmLButtonDown : right ? kWmRButtonDown : 0;
        break;
      case QEvent::MouseButtonRelease:
        message = left ? kWmLButtonUp : right ? kWmRButtonUp : 0;
        break;
      case QEvent::MouseButtonDblClick:
        message = left ? kWmLButtonDblClk : right ? kWmRButtonDblClk : 0;
        break;
      default:
        message = kWmMouseMove;
    }
    if (message == 0) {
      return false;
    }
    QPoint at = event.position().toPoint();
    if (watched != m_widget.data() && watched->isWidgetType()) {
      at = static_cast<QWidget*>(watched)->mapTo(m_widget.data(), at);
    }
    return !Dispatch(m_handle, message, MouseFlags(event), PackPosition(at.x(), at.y()),
                     event.modifiers())
                .passed;
  }

  bool OnKey(QObject* watched, QKeyEvent& event) {
    const bool alt = event.modifiers().testFlag(Qt::AltModifier);
    const bool down = event.type() == QEvent::KeyPress;
    const unsigned message = down ? (alt ? kWmSysKeyDown : kWmKeyDown) : (alt ? kWmSysKeyUp : kWmKeyUp);
    const QPointer<QWidget> widget = m_widget;
    if (!Dispatch(m_handle, message, VirtualKeyOf(event.key()), 0, event.modifiers()).passed) {
      return true;
    }
    if (!down || event.text().isEmpty() || widget.isNull()) {
      return false;
    }
    const char16_t typed = event.text().at(0).unicode();
    const Delivery character = Dispatch(m_handle, kWmChar, typed, 0, event.modifiers());
    if (!character.passed) {
      return true;
    }
    if (character.wParam == typed) {
      return false;
    }
    // The procedure replaced the character: the widget gets the new one.
    QKeyEvent replaced(QEvent::KeyPress, event.key(), event.modifiers(),
                       QString(QChar(static_cast<char16_t>(character.wParam))),
                       event.isAutoRepeat(), static_cast<ushort>(event.count()));
    s_synthesizing = true;
    QCoreApplication::sendEvent(watched, &replaced);
    s_synthesizing = false;
    return true;
  }

  QPointer<QWidget> m_widget;
  WindowHandle m_handle;
};

void EndRouting(WindowHandle window) {
  const auto it = Records().find(window);
  if (it != Records().end()) {
    it->second.filter.reset();
    if (it->second.properties.empty()) {
      Records().erase(it);
    }
  }
}

}  // namespace

std::intptr_t DefaultWindowProcedure(WindowHandle, unsigned, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
  if (s_delivery != nullptr) {
    *s_delivery = {true, wParam, lParam};
  }
  return 0;
}

WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure) {
  QWidget* widget = WidgetOf(window);
  auto it = Records().find(window);
  if (widget == nullptr && it == Records().end()) {
    return nullptr;
  }
  WindowRecord& record = Records()[window];
  const WindowProcedure previous = record.procedure;
  record.procedure = procedure != nullptr ? procedure : DefaultWindowProcedure;
  if (record.procedure == DefaultWindowProcedure) {
    EndRouting(window);
    return previous;
  }
  if (!record.filter && widget != nullptr) {
    record.filter = std::make_unique<ProcedureFilter>(widget, window);
    QObject::connect(widget, &QObject::destroyed, [window] {
      auto found = Records().find(window);
      if (found == Records().end()) {
        return;
      }
      found->second.filter.reset();
      // The destroy message, once; the procedure usually ends the routing.
      const WindowProcedure current = found->second.procedure;
      if (current != DefaultWindowProcedure) {
        Dispatch(window, kWmDestroy, 0, 0, Qt::NoModifier);
      }
      Records().erase(window);
    });
  }
  return previous;
}

std::intptr_t CallWindowProcedure(WindowProcedure procedure, WindowHandle window, unsigned message,
                                  std::uintptr_t wParam, std::intptr_t lParam) {
  return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

void PostCloseMessage(WindowHandle window) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) {
    return;
  }
  QTimer::singleShot(0, widget, [window] {
    QWidget* target = WidgetOf(window);
    if (target == nullptr) {
      return;
    }
    if (Dispatch(window, kWmClose, 0, 0, Qt::NoModifier).passed && target->close()) {
      target->deleteLater();
    }
  });
}

bool SetWindowProperty(WindowHandle window, const std::string& name, void* value) {
  if (WidgetOf(window) == nullptr && Records().find(window) == Records().end()) {
    return false;
  }
  Records()[window].properties[name] = value;
  return true;
}

void* GetWindowProperty(WindowHandle window, const std::string& name) {
  const auto it = Records().find(window);
  if (it == Records().end()) {
    return nullptr;
  }
  const auto property = it->second.properties.find(name);
  return property != it->second.properties.end() ? property->second : nullptr;
}

void* RemoveWindowProperty(WindowHandle window, const std::string& name) {
  const auto it = Records().find(window);
  if (it == Records().end()) {
    return nullptr;
  }
  void* value = nullptr;
  const auto property = it->second.properties.find(name);
  if (property != it->second.properties.end()) {
    value = property->second;
    it->second.properties.erase(property);
  }
  return value;
}

ModifierKeys CurrentModifierKeys() {
  return s_hasModifiers ? s_modifiers : ModifiersOf(QGuiApplication::queryKeyboardModifiers());
}

std::intptr_t PackPosition(int x, int y) {
  const std::uint32_t packed =
      (static_cast<std::uint32_t>(y) << 16) | (static_cast<std::uint32_t>(x) & 0xFFFFu);
  return static_cast<std::int32_t>(packed);
}
