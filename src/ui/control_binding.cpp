#include "ui/control_binding.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>
#include <QTreeWidget>
#include <mutex>

#include "foundation/thread_hand_over.h"
#include "ui/qt_text.h"

// The part of the binding that the store's listener holds. The listener may
// run on any thread and may outlive the binding by one call, so it reaches the
// binding only through this relay, which the binding empties when it goes.
struct ControlBinding::Relay {
  std::mutex mutex;
  ControlBinding* binding = nullptr;  // written on the user-interface thread only
  QThread* uiThread = nullptr;
};

namespace {

bool IsListView(const QTreeWidget* view) {
  return !view->isHeaderHidden();
}

bool IsCheckable(const QWidget* widget) {
  return qobject_cast<const QCheckBox*>(widget) != nullptr ||
         qobject_cast<const QRadioButton*>(widget) != nullptr;
}

bool IsBindable(const QWidget* widget) {
  return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
         qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QLabel*>(widget) ||
         qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QTabWidget*>(widget) ||
         qobject_cast<const QTreeWidget*>(widget);
}

bool IsControlName(const QString& name) {
  return !name.isEmpty() && !name.startsWith(QStringLiteral("qt_")) &&
         !name.contains(QLatin1Char(':'));
}

// A list row as the store holds it: its columns joined by the separator.
std::vector<std::string> ListRows(const QTreeWidget* view) {
  std::vector<std::string> rows;
  for (int i = 0; i < view->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = view->topLevelItem(i);
    QStringList cells;
    for (int column = 0; column < view->columnCount(); ++column) {
      cells << item->text(column);
    }
    rows.push_back(Cp936FromWidgetText(cells.join(QLatin1Char(kListColumnSeparator))));
  }
  return rows;
}

int CurrentRow(const QTreeWidget* view) {
  const QTreeWidgetItem* item = view->currentItem();
  return item == nullptr ? -1 : view->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
}

// Unticks a radio button even when the exclusivity of its group would
// refuse it (an exclusive group keeps one button ticked).
void SetRadioChecked(QRadioButton* radio, bool checked) {
  QButtonGroup* group = radio->group();
  if (checked || group == nullptr || !group->exclusive()) {
    radio->setChecked(checked);
    return;
  }
  group->setExclusive(false);
  radio->setChecked(false);
  group->setExclusive(true);
}

// The text of an edit box as the store holds it and as the widget shows it:
// code page 936, or in a box marked with kNotationTextProperty the notation
// that keeps every character of a name.
bool KeepsNamesWhole(const QWidget* widget) {
  return widget->property(kNotationTextProperty).toBool();
}

std::string StoreText(const QWidget* widget, const QString& text) {
  return KeepsNamesWhole(widget) ? NotationFromWidgetText(text) : Cp936FromWidgetText(text);
}

QString ShownText(const QWidget* widget, std::string_view text) {
  return KeepsNamesWhole(widget) ? WidgetTextFromNotation(text) : WidgetTextFromCp936(text);
}

}  // namespace

ControlBinding::ControlBinding(QWidget* root, ControlStore& store)
    : QObject(root), m_store(store), m_relay(std::make_shared<Relay>()) {
  m_relay->binding = this;
  m_relay->uiThread = thread();
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    if (IsControlName(widget->objectName()) && IsBindable(widget)) {
      Bind(widget, Cp936FromWidgetText(widget->objectName()));
    }
  }
  m_listenerId = m_store.AddListener(
      [relay = m_relay](const std::string& name, ControlProperty property, ChangeOrigin origin) {
        if (origin == ChangeOrigin::User) {
          return;  // it came from a widget
        }
        if (QThread::currentThread() == relay->uiThread) {
          if (relay->binding != nullptr) {
            relay->binding->Apply(name, property);
          }
          return;
        }
        std::lock_guard lock(relay->mutex);
        if (ControlBinding* binding = relay->binding) {
          // Qt drops the call when the binding is destroyed before it runs.
          QMetaObject::invokeMethod(binding, HandedOverCall([binding, name, property] {
                                      binding->Apply(name, property);
                                    }),
                                    Qt::QueuedConnection);
        }
      });
}

ControlBinding::~ControlBinding() {
  m_store.RemoveListener(m_listenerId);
  std::lock_guard lock(m_relay->mutex);
  m_relay->binding = nullptr;
}

void ControlBinding::Bind(QWidget* widget, const std::string& name) {
  m_widgets[name] = widget;
  WriteInitialState(widget, name);
  ConnectUserEdits(widget, name);
}

void ControlBinding::WriteInitialState(QWidget* widget, const std::string& name) {
  constexpr ChangeOrigin kFromWidget = ChangeOrigin::User;
  m_store.SetEnabled(name, widget->isEnabled(), kFromWidget);
  const QWidget* parent = widget->parentWidget();
  m_store.SetVisible(name, parent ? widget->isVisibleTo(parent) : widget->isVisible(), kFromWidget);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    m_store.SetCaption(name, Cp936FromWidgetText(button->text()), kFromWidget);
    if (IsCheckable(widget)) {
      m_store.SetChecked(name, button->isChecked(), kFromWidget);
    }
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    m_store.SetText(name, StoreText(widget, line->text()), kFromWidget);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    m_store.SetText(name, StoreText(widget, edit->toPlainText()), kFromWidget);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    m_store.SetText(name, Cp936FromWidgetText(label->text()), kFromWidget);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    m_store.SetCaption(name, Cp936FromWidgetText(group->title()), kFromWidget);
  } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    m_store.SetSelection(name, tabs->currentIndex(), kFromWidget);
  } else if (auto* view = qobject_cast<QTreeWidget*>(widget); view && IsListView(view)) {
    m_store.SetItems(name, ListRows(view), kFromWidget);
    m_store.SetSelection(name, CurrentRow(view), kFromWidget);
  }
}

void ControlBinding::SetListRows(QTreeWidget* view, const std::vector<std::string>& rows,
                                 int selection) {
  // Refilling moves the current row through "none"; that is no user's choice.
  m_fillingList = true;
  view->clear();
  for (const std::string& row : rows) {
    auto* item = new QTreeWidgetItem(view);
    int column = 0;
    for (const QString& cell : WidgetTextFromCp936(row).split(QLatin1Char(kListColumnSeparator))) {
      item->setText(column++, cell);
    }
  }
  view->setCurrentItem(selection < 0 ? nullptr : view->topLevelItem(selection));
  m_fillingList = false;
}

void ControlBinding::ConnectUserEdits(QWidget* widget, const std::string& name) {
  ControlStore* store = &m_store;
  if (IsCheckable(widget)) {
    // Also catches the radio buttons that Qt unticks when another of their
    // group is ticked.
    connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::toggled, this,
            [this, store, name](bool on) {
              if (!IsApplyEcho(name, [on](const ControlState& s) { return s.checked == on; })) {
                store->SetChecked(name, on, ChangeOrigin::User);
              }
            });
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    connect(line, &QLineEdit::textChanged, this, [this, store, name, line](const QString& text) {
      WriteEditText(*store, name, StoreText(line, text));
    });
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    connect(edit, &QPlainTextEdit::textChanged, this, [this, store, name, edit] {
      WriteEditText(*store, name, StoreText(edit, edit->toPlainText()));
    });
  } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    connect(tabs, &QTabWidget::currentChanged, this, [this, store, name](int page) {
      if (!IsApplyEcho(name, [page](const ControlState& s) { return s.selection == page; })) {
        store->SetSelection(name, page, ChangeOrigin::User);
      }
    });
  } else if (auto* view = qobject_cast<QTreeWidget*>(widget); view && IsListView(view)) {
    connect(view, &QTreeWidget::currentItemChanged, this, [this, store, name, view] {
      const int row = CurrentRow(view);
      if (!m_fillingList &&
          !IsApplyEcho(name, [row](const ControlState& s) { return s.selection == row; })) {
        store->SetSelection(name, row, ChangeOrigin::User);
      }
    });
  }
}

void ControlBinding::WriteEditText(ControlStore& store, const std::string& name, std::string text) {
  if (!IsApplyEcho(name, [&text](const ControlState& s) { return s.text == text; })) {
    store.SetText(name, text, ChangeOrigin::User);
  }
}

void ControlBinding::Apply(const std::string& name, ControlProperty property) {
  const auto found = m_widgets.find(name);
  if (found == m_widgets.end() || found->second.isNull()) {
    return;
  }
  QWidget* widget = found->second;
  // Marks the echoes of this write (IsApplyEcho); an Apply that a change
  // signal starts inside this one hands the mark back when it ends.
  struct ApplyingMark {
    ControlBinding& binding;
    const std::string* name;
    ControlState state;
    ~ApplyingMark() {
      binding.m_applyingName = name;
      binding.m_applying = std::move(state);
    }
  } restore{*this, m_applyingName, std::move(m_applying)};
  const ControlState state = m_store.State(name);
  m_applyingName = &found->first;
  m_applying = state;
  switch (property) {
    case ControlProperty::Enabled:
      widget->setEnabled(state.enabled);
      return;
    case ControlProperty::Visible:
      widget->setVisible(state.visible);
      return;
    case ControlProperty::Checked:
      if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        SetRadioChecked(radio, state.checked);
      } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->setChecked(state.checked);
      }
      return;
    case ControlProperty::Caption:
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(WidgetTextFromCp936(state.caption));
      } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(WidgetTextFromCp936(state.caption));
      }
      return;
    case ControlProperty::Text: {
      const QString text = ShownText(widget, state.text);
      if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        if (line->text() != text) {
          line->setText(text);
        }
      } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        if (edit->toPlainText() != text) {
          edit->setPlainText(text);
        }
      } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
      }
      return;
    }
    case ControlProperty::Selection:
      if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        tabs->setCurrentIndex(state.selection);
      } else if (auto* view = qobject_cast<QTreeWidget*>(widget)) {
        view->setCurrentItem(state.selection < 0 ? nullptr : view->topLevelItem(state.selection));
      }
      return;
    case ControlProperty::Items:
      if (auto* view = qobject_cast<QTreeWidget*>(widget); view && IsListView(view)) {
        SetListRows(view, state.items, state.selection);
      }
      return;
  }
}
