#pragma once
// The state of every window control, kept by the control's name (the names the
// program uses, e.g. "按钮_开始改名", "编辑框_当天修改数量"). Jobs and every
// library below the user interface read options and write button states only
// here, never through a widget, so they run and are tested without a window.
//
// The Qt windows bind their widgets to the store:
// - program writes (origin Program) update the store at once; listeners are
//   told on the writing thread, and the Qt binding posts the widget update to
//   the user-interface thread, reading the value again there;
// - user edits come back through the same setters with origin User; the Qt
//   binding ignores notifications of origin User (they came from its widget).
//
// Texts are code page 936 with CR LF line breaks; a user edit's lone LF line
// breaks are turned into CR LF on the way in.
// A control that was never written reads as: empty text and caption, not
// checked, enabled, visible, selection -1, no items.
// Every member may be called from any thread; listeners run outside the
// store's lock, so a listener may read the store.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

enum class ControlProperty { Text, Checked, Enabled, Visible, Caption, Selection, Items };

enum class ChangeOrigin {
  Program,  // the program wrote it; widgets must follow
  User,     // a widget reported a user edit; the store follows
};

struct ControlState {
  std::string text;      // edit boxes, labels (CR LF line breaks)
  bool checked = false;  // check boxes, radio buttons
  bool enabled = true;
  bool visible = true;
  std::string caption;             // buttons, window titles, group boxes
  int selection = -1;              // current row, page or item; 0-based, -1 none
  std::vector<std::string> items;  // list and combo box entries
};

class ControlStore {
 public:
  // name: the control's name; property: what changed. Called only when the
  // value actually changed.
  using Listener =
      std::function<void(const std::string& name, ControlProperty property, ChangeOrigin origin)>;

  std::string Text(std::string_view name) const;
  bool Checked(std::string_view name) const;
  bool Enabled(std::string_view name) const;
  bool Visible(std::string_view name) const;
  std::string Caption(std::string_view name) const;
  int Selection(std::string_view name) const;
  std::vector<std::string> Items(std::string_view name) const;
  ControlState State(std::string_view name) const;  // all properties at one instant
  bool Has(std::string_view name) const;            // written at least once

  void SetText(std::string_view name, std::string_view text,
               ChangeOrigin origin = ChangeOrigin::Program);
  void SetChecked(std::string_view name, bool checked, ChangeOrigin origin = ChangeOrigin::Program);
  void SetEnabled(std::string_view name, bool enabled, ChangeOrigin origin = ChangeOrigin::Program);
  void SetVisible(std::string_view name, bool visible, ChangeOrigin origin = ChangeOrigin::Program);
  void SetCaption(std::string_view name, std::string_view caption,
                  ChangeOrigin origin = ChangeOrigin::Program);
  void SetSelection(std::string_view name, int selection,
                    ChangeOrigin origin = ChangeOrigin::Program);
  void SetItems(std::string_view name, std::vector<std::string> items,
                ChangeOrigin origin = ChangeOrigin::Program);

  // Returns an id for RemoveListener. A write already under way when the
  // listener is removed may still call it once.
  int AddListener(Listener listener);
  void RemoveListener(int id);

  // Forgets every control (tests). Listeners stay.
  void Clear();

 private:
  template <typename T>
  void Write(std::string_view name, ControlProperty property, T ControlState::*member, T value,
             ChangeOrigin origin);

  mutable std::mutex m_mutex;
  std::map<std::string, ControlState, std::less<>> m_controls;
  std::map<int, Listener> m_listeners;
  int m_nextListenerId = 1;
};

// The program-wide store. Any thread.
ControlStore& GetControlStore();

// Turns every lone LF (and lone CR) into CR LF; CR LF stays.
std::string NormalizeToCrLf(std::string_view text);
// Turns every CR LF into LF (for Qt text widgets).
std::string CrLfToLf(std::string_view text);
