// The tree widget shows what the folder tree model holds after a worker's
// change, writes the user's ticks, expansions and choice back into the model,
// leaves expansion on a double-click to the handler, and makes the item under
// a right-click current.

#include "ui/remote_tree_view.h"

#include <gtest/gtest.h>
#include <QMouseEvent>
#include <QTreeWidget>
#include <thread>

#include "foundation/text_encodings.h"
#include "ui_test_support.h"
#include "web/folder_tree_model.h"

namespace {

std::string Utf16(const std::u16string& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

class RemoteTreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_model.Add(-1, Utf16(u"demo的网盘"), kRootImage, kRootItemData);
    m_widget.resize(400, 300);
    m_widget.setHeaderHidden(true);
    m_widget.show();
  }
  // The widget's items as "text[x]" (ticked) in display order, depth first.
  QStringList Shown() const {
    QStringList shown;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
      shown << QString(depth, QLatin1Char(' ')) + item->text(0) +
                   (item->checkState(0) == Qt::Checked ? QStringLiteral("[x]") : QString()) +
                   (item->isExpanded() ? QStringLiteral("+") : QString());
      for (int i = 0; i < item->childCount(); ++i) {
        walk(item->child(i), depth + 1);
      }
    };
    for (int i = 0; i < m_widget.topLevelItemCount(); ++i) {
      walk(m_widget.topLevelItem(i), 0);
    }
    return shown;
  }
  QTreeWidgetItem* ItemNamed(const QString& text) const {
    const QList<QTreeWidgetItem*> found =
        m_widget.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
  }

  FolderTreeModel m_model;
  QTreeWidget m_widget;
  RemoteTreeView m_view{&m_widget, m_model};
};

TEST_F(RemoteTreeViewTest, TheWidgetFollowsAWorkersChanges) {
  std::thread worker([this] {
    const int folder = m_model.Add(0, Utf16(u"电影"), kFolderImage, kFolderItemData);
    m_model.Add(folder, Utf16(u"한국.mp4"), 1, kFileItemData);
    const int file = m_model.Add(0, Utf16(u"a.txt"), 13, kFileItemData);
    m_model.SetChecked(file, true);
    m_model.Expand(0);
    m_model.Expand(folder);
  });
  worker.join();
  const QStringList expected = {Q(u"demo的网盘+"), Q(u" 电影+"), Q(u"  한국.mp4"), Q(u" a.txt[x]")};
  ASSERT_TRUE(ProcessEventsUntil([&] { return Shown() == expected; }))
      << Shown().join("|").toStdString();

  std::thread collapse([this] {
    m_model.RemoveChildren(1);
    m_model.SetExpanded(1, false);
    m_model.UncheckAll();
  });
  collapse.join();
  const QStringList emptied = {Q(u"demo的网盘+"), Q(u" 电影"), Q(u" a.txt")};
  ASSERT_TRUE(ProcessEventsUntil([&] { return Shown() == emptied; }))
      << Shown().join("|").toStdString();

  std::thread refresh([this] {
    m_model.Clear();
    m_model.Add(-1, Utf16(u"other的网盘"), kRootImage, kRootItemData);
  });
  refresh.join();
  ASSERT_TRUE(ProcessEventsUntil([&] { return Shown() == QStringList{Q(u"other的网盘")}; }))
      << Shown().join("|").toStdString();
}

TEST_F(RemoteTreeViewTest, TheUsersTicksExpansionsAndChoiceReachTheModel) {
  const int folder = m_model.Add(0, Utf16(u"docs"), kFolderImage, kFolderItemData);
  const int file = m_model.Add(folder, Utf16(u"x.txt"), 13, kFileItemData);
  m_model.Expand(0);
  ASSERT_TRUE(ProcessEventsUntil([&] { return ItemNamed(Q(u"x.txt")) != nullptr; }));

  ItemNamed(Q(u"x.txt"))->setCheckState(0, Qt::Checked);
  EXPECT_TRUE(m_model.IsChecked(file));
  ItemNamed(Q(u"docs"))->setExpanded(true);
  EXPECT_TRUE(m_model.Item(folder).expanded);
  ItemNamed(Q(u"docs"))->setExpanded(false);
  EXPECT_FALSE(m_model.Item(folder).expanded);
  m_widget.setCurrentItem(ItemNamed(Q(u"docs")));
  EXPECT_EQ(m_model.Current(), folder);
  EXPECT_FALSE(m_widget.expandsOnDoubleClick());

  // A right-click makes the item under the mouse current; empty space none.
  m_model.Expand(folder);
  ASSERT_TRUE(ProcessEventsUntil([&] { return ItemNamed(Q(u"docs"))->isExpanded(); }));
  const QPoint at = m_widget.visualItemRect(ItemNamed(Q(u"x.txt"))).center();
  QMouseEvent press(QEvent::MouseButtonPress, at, m_widget.viewport()->mapToGlobal(at),
                    Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QCoreApplication::sendEvent(m_widget.viewport(), &press);
  EXPECT_EQ(m_model.Current(), file);
  const QPoint empty(200, 290);
  QMouseEvent pressEmpty(QEvent::MouseButtonPress, empty, m_widget.viewport()->mapToGlobal(empty),
                         Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QCoreApplication::sendEvent(m_widget.viewport(), &pressEmpty);
  EXPECT_EQ(m_model.Current(), -1);
}

}  // namespace
