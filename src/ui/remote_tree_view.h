#pragma once
// Shows the folder tree model in the tree widget `树型框1` and reports the
// user's changes back to it. The model is the tree: every change of the model
// (any thread) schedules one redraw on the user-interface thread, which reads
// the model under the model's own lock only; the user's ticks, expansions,
// collapses and choice of the current item are written into the model.
//
// The widget does not expand or collapse on a double-click (the double-click
// handler decides), and a right-click makes the item under the mouse current
// before the menu opens.
//
// Create and destroy on the user-interface thread; the view is a child of the
// widget.

#include <QObject>
#include <atomic>
#include <memory>
#include <vector>

class FolderTreeModel;
class QTreeWidget;
class QTreeWidgetItem;

class RemoteTreeView : public QObject {
  Q_OBJECT
 public:
  RemoteTreeView(QTreeWidget* widget, FolderTreeModel& model);
  ~RemoteTreeView() override;
  RemoteTreeView(const RemoteTreeView&) = delete;
  RemoteTreeView& operator=(const RemoteTreeView&) = delete;

  // Brings the widget to what the model holds now.
  void Redraw();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Relay;  // shared with the model's listener, outlives the view

  int IndexOf(const QTreeWidgetItem* item) const;

  QTreeWidget* m_widget;
  FolderTreeModel& m_model;
  std::shared_ptr<Relay> m_relay;
  int m_listenerId = 0;
  int m_generation = -1;
  std::vector<QTreeWidgetItem*> m_items;  // by model index; null for none
  bool m_applying = false;                // Redraw runs: widget signals are its own
};
