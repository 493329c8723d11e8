#include "ui/remote_tree_view.h"

#include <QEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QTreeWidget>
#include <mutex>

#include "foundation/thread_hand_over.h"
#include "platform/code_page_codec.h"
#include "ui/remote_tree_images.h"
#include "web/folder_tree_model.h"

struct RemoteTreeView::Relay {
  std::mutex mutex;
  RemoteTreeView* view = nullptr;
  std::atomic<bool> pending{false};
};

namespace {

constexpr int kIndexRole = Qt::UserRole;

QString ItemText(const std::string& utf16Bytes) {
  const std::u16string units = LeBytesToUtf16(utf16Bytes);
  return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

}  // namespace

RemoteTreeView::RemoteTreeView(QTreeWidget* widget, FolderTreeModel& model)
    : QObject(widget), m_widget(widget), m_model(model), m_relay(std::make_shared<Relay>()) {
  m_relay->view = this;
  m_widget->setExpandsOnDoubleClick(false);
  m_widget->viewport()->installEventFilter(this);
  connect(m_widget, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    if (!m_applying && column == 0) {
      m_model.SetChecked(IndexOf(item), item->checkState(0) == Qt::Checked);
    }
  });
  connect(m_widget, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (!m_applying) {
      m_model.SetExpanded(IndexOf(item), true);
    }
  });
  connect(m_widget, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    if (!m_applying) {
      m_model.SetExpanded(IndexOf(item), false);
    }
  });
  connect(m_widget, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
    if (!m_applying) {
      m_model.SetCurrent(IndexOf(current));
    }
  });
  m_listenerId = m_model.AddChangeListener([relay = m_relay] {
    if (relay->pending.exchange(true)) {
      return;  // a redraw is already on its way; it reads the model when it runs
    }
    std::lock_guard lock(relay->mutex);
    if (RemoteTreeView* view = relay->view) {
      QMetaObject::invokeMethod(view, HandedOverCall([relay] {
                                  relay->pending = false;
                                  if (relay->view != nullptr) {
                                    relay->view->Redraw();
                                  }
                                }),
                                Qt::QueuedConnection);
    }
  });
  Redraw();
}

RemoteTreeView::~RemoteTreeView() {
  m_model.RemoveChangeListener(m_listenerId);
  std::lock_guard lock(m_relay->mutex);
  m_relay->view = nullptr;
}

int RemoteTreeView::IndexOf(const QTreeWidgetItem* item) const {
  return item == nullptr ? -1 : item->data(0, kIndexRole).toInt();
}

void RemoteTreeView::Redraw() {
  const FolderTreeSnapshot tree = m_model.Snapshot();
  m_applying = true;
  if (tree.generation != m_generation) {
    m_widget->clear();
    m_items.clear();
    m_generation = tree.generation;
  }
  m_items.resize(tree.items.size(), nullptr);
  // Removed items first, deepest (highest index) first: deleting a widget item
  // deletes its children, which have higher indices and are gone by then.
  for (size_t i = m_items.size(); i-- > 0;) {
    if (tree.items[i].removed && m_items[i] != nullptr) {
      delete m_items[i];
      m_items[i] = nullptr;
    }
  }
  for (size_t i = 0; i < tree.items.size(); ++i) {
    const FolderTreeItem& item = tree.items[i];
    if (item.removed) {
      continue;
    }
    QTreeWidgetItem*& shown = m_items[i];
    if (shown == nullptr) {
      const bool top = item.parent < 0 || static_cast<size_t>(item.parent) >= i;
      QTreeWidgetItem* parent = top ? nullptr : m_items[static_cast<size_t>(item.parent)];
      shown = parent == nullptr ? new QTreeWidgetItem(m_widget) : new QTreeWidgetItem(parent);
      shown->setData(0, kIndexRole, static_cast<int>(i));
      shown->setFlags(shown->flags() | Qt::ItemIsUserCheckable);
      shown->setText(0, ItemText(item.textUtf16));
      shown->setIcon(0, RemoteTreeImage(item.image));
    }
    const Qt::CheckState state = item.checked ? Qt::Checked : Qt::Unchecked;
    if (shown->data(0, Qt::CheckStateRole).isNull() || shown->checkState(0) != state) {
      shown->setCheckState(0, state);
    }
  }
  // Expansion once every child is in place.
  for (size_t i = 0; i < tree.items.size(); ++i) {
    if (m_items[i] != nullptr && m_items[i]->isExpanded() != tree.items[i].expanded) {
      m_items[i]->setExpanded(tree.items[i].expanded);
    }
  }
  QTreeWidgetItem* current = tree.current >= 0 && static_cast<size_t>(tree.current) < m_items.size()
                                 ? m_items[static_cast<size_t>(tree.current)]
                                 : nullptr;
  if (m_widget->currentItem() != current) {
    m_widget->setCurrentItem(current);
  }
  m_applying = false;
}

bool RemoteTreeView::eventFilter(QObject* watched, QEvent* event) {
  // The type first: the viewport also reports its own destruction, when the
  // tree widget around it is no longer a scroll area to ask.
  if (event->type() == QEvent::MouseButtonPress && watched == m_widget->viewport()) {
    const auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() == Qt::RightButton) {
      // The menu acts on the item under the mouse (none over empty space).
      m_widget->setCurrentItem(m_widget->itemAt(press->position().toPoint()));
    }
  }
  return QObject::eventFilter(watched, event);
}
