// The main window's controls and the ControlStore: program writes from any
// thread reach the widgets on the user-interface thread, user edits reach the
// store.

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <thread>

#include "platform/control_store.h"
#include "ui/control_binding.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

namespace {

struct WorkerWriteRow {
  const char* name;
  std::function<void(ControlStore&)> write;      // runs on a worker thread
  std::function<bool(const MainWindow&)> shown;  // the widget shows the write
};

TEST(ControlBindingTest, WorkerWritesShowInTheWidgetsOnTheUiThread) {
  const WorkerWriteRow rows[] = {
      {"edit text with a line break",
       [](ControlStore& s) { s.SetText(Cp(u"编辑框_临时输入框"), Cp(u"第一行\r\n第二行")); },
       [](const MainWindow& w) {
         return w.ControlAs<QPlainTextEdit>(u"编辑框_临时输入框")->toPlainText() ==
                Q(u"第一行\n第二行");
       }},
      {"single-line edit text",
       [](ControlStore& s) { s.SetText(Cp(u"编辑框_复制到目标位置"), Cp(u"/目录/子目录")); },
       [](const MainWindow& w) {
         return w.ControlAs<QLineEdit>(u"编辑框_复制到目标位置")->text() == Q(u"/目录/子目录");
       }},
      {"the copy boxes show every character of a path",
       [](ControlStore& s) {
         s.SetText(Cp(u"编辑框_复制到目标位置"), "/\\uD83D\\uDE00 " + Cp(u"夹"));
         s.SetText(Cp(u"编辑框_被复制对象"), "[\"/\\uD55C.txt\",\"/a\\\\u0041\"]");
       },
       [](const MainWindow& w) {
         return w.ControlAs<QLineEdit>(u"编辑框_复制到目标位置")->text() == Q(u"/😀 夹") &&
                w.ControlAs<QLineEdit>(u"编辑框_被复制对象")->text() ==
                    Q(u"[\"/한.txt\",\"/a\\\\u0041\"]");
       }},
      {"start button disabled while a job runs",
       [](ControlStore& s) { s.SetEnabled(Cp(u"按钮_开始改名"), false); },
       [](const MainWindow& w) { return !w.Control(u"按钮_开始改名")->isEnabled(); }},
      {"button caption",
       [](ControlStore& s) { s.SetCaption(Cp(u"按钮_复制文件暂停和继续"), Cp(u"继续")); },
       [](const MainWindow& w) {
         return w.ControlAs<QPushButton>(u"按钮_复制文件暂停和继续")->text() == Q(u"继续");
       }},
      {"check box ticked", [](ControlStore& s) { s.SetChecked(Cp(u"选择框_删除文件"), true); },
       [](const MainWindow& w) { return w.ControlAs<QCheckBox>(u"选择框_删除文件")->isChecked(); }},
      {"hidden panel shown", [](ControlStore& s) { s.SetVisible(Cp(u"分组框_临时提示"), true); },
       [](const MainWindow& w) {
         const QWidget* panel = w.Control(u"分组框_临时提示");
         return panel->isVisibleTo(panel->parentWidget());
       }},
      {"account list rows, columns joined by tabs, and the chosen row",
       [](ControlStore& s) {
         s.SetItems(Cp(u"超级列表框_百度帐号列表"),
                    {Cp(u"1\t用户甲\t正常\tBDUSS=a\t11"), Cp(u"2\t用户乙\t失效\tBDUSS=b\t22")});
         s.SetSelection(Cp(u"超级列表框_百度帐号列表"), 1);
       },
       [](const MainWindow& w) {
         const auto* list = w.ControlAs<QTreeWidget>(u"超级列表框_百度帐号列表");
         return list->topLevelItemCount() == 2 && list->topLevelItem(1)->text(1) == Q(u"用户乙") &&
                list->topLevelItem(1)->text(4) == QStringLiteral("22") &&
                list->currentItem() == list->topLevelItem(1);
       }},
      {"tab page chosen", [](ControlStore& s) { s.SetSelection(Cp(u"高级选择夹1"), 2); },
       [](const MainWindow& w) {
         return w.ControlAs<QTabWidget>(u"高级选择夹1")->currentIndex() == 2;
       }},
  };
  for (const WorkerWriteRow& row : rows) {
    SCOPED_TRACE(row.name);
    ControlStore store;
    MainWindow window{store};
    std::thread worker([&] { row.write(store); });
    worker.join();
    // Nothing touched the widget from the worker: it follows only once the
    // user-interface thread runs its queued calls.
    EXPECT_FALSE(row.shown(window));
    EXPECT_TRUE(ProcessEventsUntil([&] { return row.shown(window); }));
  }
}

TEST(ControlBindingTest, WritesOnTheUiThreadShowAtOnce) {
  ControlStore store;
  MainWindow window{store};
  store.SetEnabled(Cp(u"按钮_开始复制文件"), false);
  EXPECT_FALSE(window.Control(u"按钮_开始复制文件")->isEnabled());
}

struct UserEditRow {
  const char* name;
  std::function<void(MainWindow&)> edit;
  std::function<bool(const ControlStore&)> stored;
};

TEST(ControlBindingTest, UserEditsReachTheStore) {
  const UserEditRow rows[] = {
      {"typed prefix",
       [](MainWindow& w) { w.ControlAs<QLineEdit>(u"编辑框_增加前缀内容")->insert(Q(u"前缀")); },
       [](const ControlStore& s) { return s.Text(Cp(u"编辑框_增加前缀内容")) == Cp(u"前缀"); }},
      {"a path typed into a copy box keeps every character",
       [](MainWindow& w) { w.ControlAs<QLineEdit>(u"编辑框_复制到目标位置")->insert(Q(u"/😀 夹")); },
       [](const ControlStore& s) {
         return s.Text(Cp(u"编辑框_复制到目标位置")) == "/\\uD83D\\uDE00 " + Cp(u"夹");
       }},
      {"multi-line text comes back with CR LF",
       [](MainWindow& w) {
         w.ControlAs<QPlainTextEdit>(u"编辑框_百度cookies")->setPlainText(Q(u"BDUSS=1;\nSTOKEN=2"));
       },
       [](const ControlStore& s) {
         return s.Text(Cp(u"编辑框_百度cookies")) == "BDUSS=1;\r\nSTOKEN=2";
       }},
      {"ticked loop box",
       [](MainWindow& w) { w.ControlAs<QCheckBox>(u"选择框_循环执行改名任务")->click(); },
       [](const ControlStore& s) { return s.Checked(Cp(u"选择框_循环执行改名任务")); }},
      {"untick prefetch",
       [](MainWindow& w) { w.ControlAs<QCheckBox>(u"选择框_启用预读取模式")->click(); },
       [](const ControlStore& s) { return !s.Checked(Cp(u"选择框_启用预读取模式")); }},
      {"another radio: both buttons of the group follow",
       [](MainWindow& w) { w.ControlAs<QRadioButton>(u"单选框_修改模式同步")->click(); },
       [](const ControlStore& s) {
         return s.Checked(Cp(u"单选框_修改模式同步")) && !s.Checked(Cp(u"单选框_修改模式异步"));
       }},
      {"page chosen",
       [](MainWindow& w) { w.ControlAs<QTabWidget>(u"高级选择夹1")->setCurrentIndex(1); },
       [](const ControlStore& s) { return s.Selection(Cp(u"高级选择夹1")) == 1; }},
      {"account row chosen",
       [](MainWindow& w) {
         auto* list = w.ControlAs<QTreeWidget>(u"超级列表框_百度帐号列表");
         new QTreeWidgetItem(list, QStringList{QStringLiteral("1")});
         auto* second = new QTreeWidgetItem(list, QStringList{QStringLiteral("2")});
         list->setCurrentItem(second);
       },
       [](const ControlStore& s) { return s.Selection(Cp(u"超级列表框_百度帐号列表")) == 1; }},
  };
  for (const UserEditRow& row : rows) {
    SCOPED_TRACE(row.name);
    ControlStore store;
    MainWindow window{store};
    row.edit(window);
    EXPECT_TRUE(row.stored(store));
  }
}

TEST(ControlBindingTest, ProgramTicksAndUnticksRadioButtonsOfAnExclusiveGroup) {
  ControlStore store;
  MainWindow window{store};
  auto* byName = window.ControlAs<QRadioButton>(u"单选框_按名称正排");
  auto* byTime = window.ControlAs<QRadioButton>(u"单选框_按时间倒排");

  // Settings files write every radio button; the ticked one may come last.
  store.SetChecked(Cp(u"单选框_按名称正排"), false);
  EXPECT_FALSE(byName->isChecked());
  store.SetChecked(Cp(u"单选框_按时间倒排"), true);
  EXPECT_TRUE(byTime->isChecked());

  store.SetChecked(Cp(u"单选框_按名称正排"), true);
  EXPECT_TRUE(byName->isChecked());
  EXPECT_FALSE(byTime->isChecked());
  EXPECT_FALSE(store.Checked(Cp(u"单选框_按时间倒排")));
}

// A worker's write that lands while the widget still shows an earlier write
// (the widget's change signal of that earlier write is being handled) is the
// value that stays: the widget's echo of the earlier value must not replace it.
struct EchoRaceRow {
  const char* name;
  std::function<QWidget*(QWidget* root)> make;  // the control, named "控件"
  std::function<void(QWidget*, std::function<void()>)> onChange;
  std::function<void(ControlStore&, bool later)> write;
  std::function<bool(const ControlStore&, const QWidget*)> showsLater;
};

TEST(ControlBindingTest, AWorkerWriteDuringTheEchoOfAnEarlierOneStays) {
  const std::string name = Cp(u"控件");
  const EchoRaceRow rows[] = {
      {"multi-line edit", [](QWidget* root) { return new QPlainTextEdit(root); },
       [](QWidget* w, std::function<void()> f) {
         QObject::connect(static_cast<QPlainTextEdit*>(w), &QPlainTextEdit::textChanged, f);
       },
       [&](ControlStore& s, bool later) { s.SetText(name, later ? "done" : "fetching"); },
       [&](const ControlStore& s, const QWidget* w) {
         return s.Text(name) == "done" &&
                static_cast<const QPlainTextEdit*>(w)->toPlainText() == QStringLiteral("done");
       }},
      {"single-line edit", [](QWidget* root) { return new QLineEdit(root); },
       [](QWidget* w, std::function<void()> f) {
         QObject::connect(static_cast<QLineEdit*>(w), &QLineEdit::textChanged, f);
       },
       [&](ControlStore& s, bool later) { s.SetText(name, later ? "done" : "fetching"); },
       [&](const ControlStore& s, const QWidget* w) {
         return s.Text(name) == "done" &&
                static_cast<const QLineEdit*>(w)->text() == QStringLiteral("done");
       }},
      {"check box", [](QWidget* root) { return new QCheckBox(root); },
       [](QWidget* w, std::function<void()> f) {
         QObject::connect(static_cast<QCheckBox*>(w), &QCheckBox::toggled, f);
       },
       [&](ControlStore& s, bool later) { s.SetChecked(name, !later); },
       [&](const ControlStore& s, const QWidget* w) {
         return !s.Checked(name) && !static_cast<const QCheckBox*>(w)->isChecked();
       }},
  };
  for (const EchoRaceRow& row : rows) {
    SCOPED_TRACE(row.name);
    ControlStore store;
    QWidget root;
    QWidget* control = row.make(&root);
    control->setObjectName(Q(u"控件"));
    // Connected before the binding, so it runs before the binding's own
    // handler of the same change: the later write lands in between.
    bool written = false;
    row.onChange(control, [&] {
      if (!written) {
        written = true;
        std::thread worker([&] { row.write(store, true); });
        worker.join();
      }
    });
    ControlBinding binding(&root, store);
    std::thread worker([&] { row.write(store, false); });
    worker.join();
    EXPECT_TRUE(ProcessEventsUntil([&] { return row.showsLater(store, control); }));
    EXPECT_TRUE(written);
  }
}

TEST(ControlBindingTest, AWriteQueuedForAClosedWindowIsDropped) {
  ControlStore store;
  auto window = std::make_unique<MainWindow>(store);
  std::thread worker([&] { store.SetText(Cp(u"编辑框_被复制对象"), "a.txt"); });
  worker.join();
  window.reset();
  QCoreApplication::processEvents();
  store.SetText(Cp(u"编辑框_被复制对象"), "b.txt");  // no listener left to reach a widget
  EXPECT_EQ(store.Text(Cp(u"编辑框_被复制对象")), "b.txt");
}

}  // namespace
