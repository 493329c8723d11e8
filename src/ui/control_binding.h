#pragma once
// Binds the named controls of a window to the ControlStore, so that jobs and
// workers read and write controls by name from any thread.
//
// - At binding, every control's current state (text or caption, tick,
//   enabled, visible, selection) is written into the store.
// - A program write to the store (any thread) reaches the widget on the
//   user-interface thread: at once when written there, else through a queued
//   call that reads the store again when it runs. Calls still queued when the
//   binding is gone are dropped.
// - A user edit (typing, ticking, choosing a page or a row) is written into
//   the store with ChangeOrigin::User.
//
// Bound are the descendants of the root whose object name is a control name:
// not empty, not Qt's own ("qt_..."), and without ':' (names with ':' mark
// parts of a control such as a status bar panel or a page). Kinds: buttons,
// check boxes and radio buttons (caption, tick), edit boxes and labels (text),
// group boxes (caption; an edit box marked with kNotationTextProperty keeps
// remote names whole), the tab control (selection: page), list views
// (selection: row; items: one per row, the columns joined by a tab). Tree
// views bind enabled and visible only; their items are kept by the tree's own
// code.
//
// Create and destroy on the user-interface thread.

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/control_store.h"

class QTreeWidget;
class QWidget;

// A bool property of an edit box whose text keeps remote names whole: the
// store holds the characters that code page 936 lacks in backslash-u notation
// and the widget shows them as themselves (ui/qt_text.h,
// WidgetTextFromNotation). Set before the binding is made.
inline constexpr const char* kNotationTextProperty = "quillmereNotationText";

// Joins the columns of a list row in the store's items.
inline constexpr char kListColumnSeparator = '\t';

class ControlBinding : public QObject {
  Q_OBJECT
 public:
  ControlBinding(QWidget* root, ControlStore& store);
  ~ControlBinding() override;
  ControlBinding(const ControlBinding&) = delete;
  ControlBinding& operator=(const ControlBinding&) = delete;

  // Brings one control's widget to the store's value of `property` now.
  // User-interface thread.
  void Apply(const std::string& name, ControlProperty property);

 private:
  struct Relay;  // shared with the store's listener, outlives the binding

  void Bind(QWidget* widget, const std::string& name);
  void WriteInitialState(QWidget* widget, const std::string& name);
  void ConnectUserEdits(QWidget* widget, const std::string& name);
  // A user edit of an edit box's text, unless it is the echo of Apply.
  void WriteEditText(ControlStore& store, const std::string& name, std::string text);
  void SetListRows(QTreeWidget* view, const std::vector<std::string>& rows, int selection);
  // True while Apply brings the control `name` to the store's state and
  // `showsApplied` says the widget shows exactly the value Apply read: the
  // change signal is the echo of that write, and writing it back could only
  // undo a later program write that the store already holds.
  template <typename ShowsApplied>
  bool IsApplyEcho(const std::string& name, ShowsApplied showsApplied) const {
    return m_applyingName != nullptr && *m_applyingName == name && showsApplied(m_applying);
  }

  ControlStore& m_store;
  std::map<std::string, QPointer<QWidget>, std::less<>> m_widgets;
  std::shared_ptr<Relay> m_relay;
  int m_listenerId = 0;
  bool m_fillingList = false;                   // SetListRows runs
  const std::string* m_applyingName = nullptr;  // the control Apply is bringing up to date
  ControlState m_applying;                      // the state Apply read for it
};
