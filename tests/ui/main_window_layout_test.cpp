// The main window's controls: names under their parents, initial ticks and
// texts, radio groups, pages, list columns, status panels and menus.

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "jobs/rename_status_lines.h"
#include "platform/control_store.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/status_line_label.h"
#include "ui_test_support.h"
#include "web/rename_counters.h"

namespace {

class MainWindowLayoutTest : public ::testing::Test {
 protected:
  ControlStore store;
  MainWindow window{store};

  QTabWidget* Tabs() const { return window.ControlAs<QTabWidget>(u"高级选择夹1"); }
};

struct ParentRow {
  const char16_t* parent;  // "page N", "window" or a group box
  std::vector<const char16_t*> children;
};

// Every control of the window definition, grouped by the parent it sits in.
const ParentRow kParents[] = {
    {u"page 0",
     {u"超级列表框_百度帐号列表", u"按钮2", u"按钮4", u"透明标签9", u"编辑框_百度cookies",
      u"按钮3"}},
    {u"page 1",
     {u"分组框5", u"分组框3", u"分组框7", u"选择框_循环执行改名任务", u"编辑框_循环改名等待时间",
      u"选择框_启用预读取模式", u"透明标签10", u"透明标签8",
      u"选择框_预读取模式下快速替换文件名关键词", u"透明标签11", u"透明标签12", u"透明标签13",
      u"编辑框_单次改名提交数量"}},
    {u"分组框5",
     {u"选择框_不包含关键词才修改", u"编辑框_不包含的关键词", u"选择框_包含关键词才修改",
      u"编辑框_包含关键词才修改", u"透明标签6"}},
    {u"分组框3",
     {u"单选框_修改对象全部修改", u"单选框_修改对象只修改目录名", u"单选框_修改对象只修改文件名"}},
    {u"分组框7", {u"单选框_修改模式异步", u"单选框_修改模式同步", u"单选框_修改模式自动"}},
    {u"page 2",
     {u"分组框2", u"分组框4", u"分组框6", u"按钮8", u"按钮6", u"按钮_开始改名", u"按钮_停止改名"}},
    {u"分组框2", {u"单选框_只修改单选中", u"单选框_选中目录包含子夹", u"单选框_不修改子目录"}},
    {u"分组框4",
     {u"选择框_关键词替换",
      u"按钮7",
      u"选择框_修改扩展名",
      u"编辑框_修改扩展名内容",
      u"选择框_增加前缀",
      u"编辑框_增加前缀内容",
      u"选择框_增加后缀",
      u"编辑框_增加后缀内容",
      u"选择框_自动增加数字序号前缀",
      u"编辑框_自动增加数字序号前缀",
      u"透明标签4",
      u"选择框_通过正则删除",
      u"按钮5",
      u"编辑框_通过正则删除",
      u"选择框_删除包含的随机中文汉字",
      u"编辑框_汉字删除数量",
      u"选择框_删除文件",
      u"编辑框_删除文件关键词",
      u"选择框_删除目录",
      u"编辑框_删除目录关键词"}},
    {u"分组框6",
     {u"选择框_当天暂停", u"编辑框_当天修改数量",
      u"选择框_跳过本次软件启动后已修改成功的文件不修改"}},
    {u"window",
     {u"树型框1", u"透明标签_刷新提示", u"按钮9", u"按钮1", u"单选框_按名称正排",
      u"单选框_按名称倒排", u"单选框_按时间正排", u"单选框_按时间倒排", u"透明标签7",
      u"标签_反馈事件", u"按钮_保存界面配置", u"按钮_读取配置", u"按钮10", u"分组框1",
      u"分组框_临时提示"}},
    {u"分组框1",
     {u"透明标签2", u"编辑框_被复制对象", u"透明标签3", u"编辑框_复制到目标位置",
      u"按钮_开始复制文件", u"按钮_复制文件暂停和继续", u"按钮_复制文件停止",
      u"单选框_复制到指定目录_不含子夹", u"单选框_复制到指定目录_包含一级子夹",
      u"单选框_复制到指定目录_包括子目录", u"选择框_复制时遇到同名文件则保留2份文件"}},
    {u"分组框_临时提示",
     {u"透明标签_临时提示", u"透明标签_关闭设置窗口", u"编辑框_临时输入框",
      u"透明标签_临时提示已输入完成"}},
};

TEST_F(MainWindowLayoutTest, EveryControlSitsUnderItsParent) {
  for (const ParentRow& row : kParents) {
    SCOPED_TRACE(Q(row.parent).toStdString());
    const QString parentName = Q(row.parent);
    const QWidget* expected = nullptr;
    if (parentName == QStringLiteral("window")) {
      expected = window.centralWidget();
    } else if (parentName.startsWith(QStringLiteral("page "))) {
      expected = Tabs()->widget(parentName.back().digitValue());
    } else {
      expected = window.Control(row.parent);
    }
    ASSERT_NE(expected, nullptr);
    for (const char16_t* child : row.children) {
      SCOPED_TRACE(Q(child).toStdString());
      const QWidget* control = window.Control(child);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(control->parentWidget(), expected);
    }
  }
}

TEST_F(MainWindowLayoutTest, ExactlyTheDefaultOptionsAreTickedAtStart) {
  const std::set<QString> expected = {
      Q(u"选择框_启用预读取模式"),
      Q(u"选择框_预读取模式下快速替换文件名关键词"),
      Q(u"选择框_复制时遇到同名文件则保留2份文件"),
      Q(u"单选框_修改模式异步"),
      Q(u"单选框_选中目录包含子夹"),
      Q(u"单选框_修改对象全部修改"),
      Q(u"单选框_复制到指定目录_包括子目录"),
      Q(u"单选框_按名称正排"),
  };
  std::set<QString> ticked;
  std::set<QString> tickedInStore;
  for (const QAbstractButton* box : window.findChildren<QAbstractButton*>()) {
    if (box->isCheckable() && box->isChecked()) {
      ticked.insert(box->objectName());
    }
    if (store.Checked(Cp936FromWidgetText(box->objectName()))) {
      tickedInStore.insert(box->objectName());
    }
  }
  EXPECT_EQ(ticked, expected);
  EXPECT_EQ(tickedInStore, expected);
}

TEST_F(MainWindowLayoutTest, OnlyThreeEditBoxesHoldATextAtStart) {
  const std::map<QString, QString> expected = {
      {Q(u"编辑框_循环改名等待时间"), QStringLiteral("7200")},
      {Q(u"编辑框_当天修改数量"), QStringLiteral("500")},
      {Q(u"编辑框_单次改名提交数量"), QStringLiteral("50")},
  };
  std::map<QString, QString> filled;
  int editBoxes = 0;
  for (const QWidget* edit : window.findChildren<QWidget*>()) {
    if (!edit->objectName().startsWith(Q(u"编辑框_"))) {
      continue;
    }
    ++editBoxes;
    QString text;
    if (const auto* line = qobject_cast<const QLineEdit*>(edit)) {
      text = line->text();
    } else if (const auto* multi = qobject_cast<const QPlainTextEdit*>(edit)) {
      text = multi->toPlainText();
    } else {
      ADD_FAILURE() << edit->objectName().toStdString() << " is no edit box";
    }
    EXPECT_EQ(store.Text(Cp936FromWidgetText(edit->objectName())), Cp936FromWidgetText(text));
    if (!text.isEmpty()) {
      filled[edit->objectName()] = text;
    }
  }
  EXPECT_EQ(filled, expected);
  EXPECT_EQ(editBoxes, 17);
}

TEST_F(MainWindowLayoutTest, OnlyTheKeywordPanelAndTheFeedbackLabelStartHidden) {
  std::set<QString> hidden;
  for (const QWidget* control : window.findChildren<QWidget*>()) {
    const QString name = control->objectName();
    if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")) || name.contains(':') ||
        qobject_cast<const QMenu*>(control) != nullptr) {
      continue;
    }
    if (!control->isVisibleTo(control->parentWidget())) {
      hidden.insert(name);
    }
    EXPECT_EQ(store.Visible(Cp936FromWidgetText(name)),
              control->isVisibleTo(control->parentWidget()))
        << name.toStdString();
  }
  EXPECT_EQ(hidden, (std::set<QString>{Q(u"分组框_临时提示"), Q(u"标签_反馈事件")}));
}

TEST_F(MainWindowLayoutTest, LabelsShowTheirTextsAsWritten) {
  // A job may write a text holding "<" into a label; it must not turn into markup.
  store.SetText(Cp(u"透明标签_临时提示"), "<b>x</b> <--");
  const auto* panelHint = window.ControlAs<QLabel>(u"透明标签_临时提示");
  EXPECT_EQ(panelHint->text(), QStringLiteral("<b>x</b> <--"));
  int labels = 0;
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (label->objectName().isEmpty() || label->objectName().startsWith(QStringLiteral("qt_"))) {
      continue;
    }
    ++labels;
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
  }
  EXPECT_GT(labels, 0);
}

TEST_F(MainWindowLayoutTest, ClicksOnPlainCaptionsReachWhatLiesBeneath) {
  const auto* tree = window.ControlAs<QTreeWidget>(u"树型框1");
  const QWidget* hint = window.Control(u"透明标签_刷新提示");
  QWidget* under = window.centralWidget()->childAt(hint->geometry().center());
  ASSERT_NE(under, nullptr);
  EXPECT_TRUE(under == tree || tree->isAncestorOf(under)) << under->objectName().toStdString();
  // The links still take the button going down.
  const QWidget* link = window.Control(u"透明标签7");
  EXPECT_EQ(window.centralWidget()->childAt(link->geometry().center()), link);
}

struct RadioClickRow {
  const char* name;
  const char16_t* clicked;
  std::vector<const char16_t*> stillSelected;
};

TEST_F(MainWindowLayoutTest, SortRadiosAreAGroupOfTheirOwn) {
  const RadioClickRow rows[] = {
      {"a sort radio leaves every group box alone",
       u"单选框_按时间倒排",
       {u"单选框_修改对象全部修改", u"单选框_修改模式异步", u"单选框_选中目录包含子夹",
        u"单选框_复制到指定目录_包括子目录"}},
      {"a group box radio leaves the sort radios and the other groups alone",
       u"单选框_不修改子目录",
       {u"单选框_按名称正排", u"单选框_修改对象全部修改", u"单选框_修改模式异步",
        u"单选框_复制到指定目录_包括子目录"}},
      {"the copy group's radio leaves the others alone",
       u"单选框_复制到指定目录_不含子夹",
       {u"单选框_按名称正排", u"单选框_选中目录包含子夹", u"单选框_修改模式异步"}},
  };
  for (const RadioClickRow& row : rows) {
    SCOPED_TRACE(row.name);
    MainWindow fresh{store};
    fresh.ControlAs<QRadioButton>(row.clicked)->click();
    EXPECT_TRUE(fresh.ControlAs<QRadioButton>(row.clicked)->isChecked());
    for (const char16_t* other : row.stillSelected) {
      EXPECT_TRUE(fresh.ControlAs<QRadioButton>(other)->isChecked()) << Q(other).toStdString();
    }
  }
  window.ControlAs<QRadioButton>(u"单选框_按时间正排")->click();
  EXPECT_FALSE(window.ControlAs<QRadioButton>(u"单选框_按名称正排")->isChecked());
}

TEST_F(MainWindowLayoutTest, TabControlHasThreePagesWithTheirCaptions) {
  ASSERT_EQ(Tabs()->count(), 3);
  EXPECT_EQ(Tabs()->tabText(0), Q(u"选择百度帐号"));
  EXPECT_EQ(Tabs()->tabText(1), Q(u"改名前提条件"));
  EXPECT_EQ(Tabs()->tabText(2), Q(u"  批量改名设置  "));
}

TEST_F(MainWindowLayoutTest, AccountListHasFiveColumns) {
  const auto* list = window.ControlAs<QTreeWidget>(u"超级列表框_百度帐号列表");
  ASSERT_EQ(list->columnCount(), 5);
  const std::pair<const char16_t*, int> columns[] = {
      {u"序", 30}, {u"网盘用户名", 90}, {u"状态", 80}, {u"cookies", 60}, {u"uk", 5}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(list->headerItem()->text(i), Q(columns[i].first));
    EXPECT_EQ(list->columnWidth(i), columns[i].second);
  }
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(MainWindowLayoutTest, StatusBarHasThreePanelsDockedAtTheBottom) {
  const auto* bar = window.ControlAs<QStatusBar>(u"状态条1");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(window.statusBar(), bar);
  const std::pair<int, const char16_t*> panels[] = {{0, u" 操作提示："}, {1, u""}, {2, u""}};
  for (const auto& [index, text] : panels) {
    const auto* panel = bar->findChild<QLabel*>(Q(u"状态条1:") + QString::number(index));
    ASSERT_NE(panel, nullptr) << index;
    EXPECT_EQ(panel->text(), Q(text));
  }
}

// At the window's design size a large rename run's summary shows whole on the
// status line: the submission panel is emptied when a run ends and then leaves
// the status line the rest of the bar, which shows a line too wide for it with
// single blanks. A line wider still ends in "…" with the whole line as tip.
TEST_F(MainWindowLayoutTest, ARenameRunsSummaryShowsWholeOnTheStatusLine) {
  struct Row {
    const char* name;
    std::string (*line)();
  };
  const Row rows[] = {
      {"the per-item apply's summary", &PerItemSummaryLine},
      {"the task's summary", &RenameSummaryLine},
  };
  // A large run: counts of up to five digits.
  const std::pair<std::atomic<int>*, int> counts[] = {
      {&g_renamedCount, 23456},  {&g_renameFailedCount, 345}, {&g_unchangedCount, 4567},
      {&g_waitCount, 56},        {&g_skippedCount, 6789},     {&g_deletedCount, 789},
      {&g_deleteFailedCount, 89}};
  for (const auto& [counter, count] : counts) {
    *counter = count;
  }
  window.show();
  auto* bar = window.ControlAs<QStatusBar>(u"状态条1");
  auto* line = dynamic_cast<StatusLineLabel*>(bar->findChild<QLabel*>(Q(u"状态条1:1")));
  auto* submission = bar->findChild<QLabel*>(Q(u"状态条1:2"));
  ASSERT_NE(line, nullptr);
  ASSERT_NE(submission, nullptr);
  EXPECT_EQ(window.width(), 981) << "the client width of the 997-pixel design window";
  const auto withoutBlanks = [](QString text) { return text.remove(QLatin1Char(' ')); };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    submission->setText(Q(u"本次提交进度：100/100"));
    QCoreApplication::processEvents();
    EXPECT_GE(submission->width(), submission->fontMetrics().horizontalAdvance(submission->text()))
        << "a submission's state shows whole";
    submission->clear();
    const QString summary = WidgetTextFromCp936(row.line());
    line->setText(summary);
    QCoreApplication::processEvents();
    const QString shown = line->ShownText();
    EXPECT_LE(line->fontMetrics().horizontalAdvance(shown), line->contentsRect().width())
        << shown.toStdString();
    EXPECT_EQ(withoutBlanks(shown), withoutBlanks(summary)) << "every count shows";
    EXPECT_LE(line->geometry().right(), submission->geometry().left());
    EXPECT_EQ(line->text(), summary);
  }
  const QString wider = WidgetTextFromCp936(PerItemSummaryLine() + PerItemSummaryLine());
  line->setText(wider);
  EXPECT_TRUE(line->ShownText().endsWith(QChar(0x2026))) << line->ShownText().toStdString();
  EXPECT_LE(line->fontMetrics().horizontalAdvance(line->ShownText()), line->contentsRect().width());
  ZeroRenameCounters();
}

TEST_F(MainWindowLayoutTest, ControlsTakeTheirDesignPlaceAndCaption) {
  struct Row {
    const char16_t* name;
    QRect place;  // relative to the parent
    const char16_t* caption;
  };
  const Row rows[] = {
      {u"按钮1", {230, 535, 88, 35}, u"刷新根目录"},
      {u"树型框1", {330, 4, 651, 468}, nullptr},
      {u"按钮_开始复制文件", {572, 13, 70, 32}, u"开始复制"},
      {u"按钮5", {110, 164, 12, 20}, u"?"},
      {u"按钮9",
       {349, 483, 609, 45},
       u"将上方选中的目录下的文件归档到同名目录中，没有目录将创建(如将 战狼10.mp4 归档到 "
       u"战狼10\\战狼10.mp4)"},
      {u"分组框1",
       {333, 539, 648, 111},
       u"复制自己的广告文件到指定目录（通过在上方目录结构中单击鼠标右键进行选择）"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Q(row.name).toStdString());
    const QWidget* control = window.Control(row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), row.place);
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
      EXPECT_EQ(button->text(), Q(row.caption));
    } else if (const auto* group = qobject_cast<const QGroupBox*>(control)) {
      EXPECT_EQ(group->title(), Q(row.caption));
    }
  }
  EXPECT_EQ(window.windowTitle(), Q(u"Tarrowby-Quillmere"));
}

TEST_F(MainWindowLayoutTest, PageControlsKeepTheirPlaceRelativeToTheTabControl) {
  window.show();
  const QWidget* start = window.Control(u"按钮_开始改名");
  EXPECT_EQ(start->mapTo(Tabs(), QPoint(0, 0)), QPoint(144, 478));
  const QWidget* list = window.Control(u"超级列表框_百度帐号列表");
  EXPECT_EQ(list->mapTo(Tabs(), QPoint(0, 0)), QPoint(7, 38));
  window.hide();
}

std::vector<QString> MenuTexts(const QMenu* menu) {
  std::vector<QString> texts;
  for (const QAction* action : menu->actions()) {
    texts.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return texts;
}

std::vector<QString> Texts(std::initializer_list<const char16_t*> items) {
  std::vector<QString> texts;
  for (const char16_t* item : items) {
    texts.push_back(Q(item));
  }
  return texts;
}

TEST_F(MainWindowLayoutTest, PopUpMenusListTheirEntriesInOrder) {
  EXPECT_EQ(window.TreeMenu()->objectName(), Q(u"导出文件名菜单"));
  EXPECT_EQ(MenuTexts(window.TreeMenu()),
            Texts({u"刷新列表", u"-", u"批量复制-选择此文件进行复制",
                   u"批量复制-确定将选择的文件复制到此目录", u"-", u"复制选中文件名",
                   u"从网盘删除选中文件", u"-", u"全选此目录下所有项目", u"全选此目录下文件",
                   u"全选此目录下文件夹", u"取消所有选择项目"}));
  EXPECT_EQ(window.AccountMenu()->objectName(), Q(u"cookies操作"));
  EXPECT_EQ(MenuTexts(window.AccountMenu()),
            Texts({u"切换操作cookies为当前选中", u"-", u"验证或刷新当前选中cookies有效性",
                   u"验证或刷新所有cookies有效性", u"复制当前选中cookies", u"-",
                   u"查询选中网盘容量", u"-", u"删除当前选中"}));
  EXPECT_TRUE(window.menuWidget() == nullptr);  // no menu bar
}

}  // namespace
