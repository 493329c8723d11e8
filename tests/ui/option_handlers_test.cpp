// The option handlers as the main window runs them: the keyword panel opens
// over the double-clicked keyword box and writes back what was typed.

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPlainTextEdit>

#include "platform/control_store.h"
#include "support/scripted_desktop_guard.h"
#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui/option_guards.h"
#include "ui_test_support.h"

namespace {

void SendMouse(QWidget* target, QEvent::Type type) {
  const QPoint at(2, 2);
  QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
}

class OptionHandlersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetControlStore().Clear();
    g_keywordPanelMode.clear();
    InstallOptionHandlers(window.Handlers(), &window);
    window.show();
  }
  void TearDown() override {
    window.hide();
    GetControlStore().Clear();
  }
  // Brings the page of the keyword boxes to the front and double-clicks one.
  void DoubleClick(const char16_t* keywordBox) {
    QWidget* box = window.Control(keywordBox);
    for (QWidget* up = box; up != nullptr && up != &window; up = up->parentWidget()) {
      up->show();
    }
    SendMouse(box, QEvent::MouseButtonPress);
    SendMouse(box, QEvent::MouseButtonRelease);
    SendMouse(box, QEvent::MouseButtonDblClick);
    SendMouse(box, QEvent::MouseButtonRelease);
  }
  ScriptedDesktopGuard ui;
  MainWindow window{GetControlStore()};
};

TEST_F(OptionHandlersTest, KeywordPanelOverTheBoxWritesBackWhatWasTyped) {
  const struct {
    const char16_t* box;
    const char16_t* closer;
    const char16_t* prompt;
  } cases[] = {
      {u"编辑框_删除文件关键词", u"透明标签_关闭设置窗口",
       u"填入 删除包含关键词的文件 的关键词，英文,分隔："},
      {u"编辑框_删除目录关键词", u"透明标签_临时提示已输入完成",
       u"填入 删除包含关键词的目录 的关键词，英文,分隔："},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Q(c.box).toStdString());
    GetControlStore().SetText(Cp(c.box), "old");
    DoubleClick(c.box);
    QWidget* panel = window.Control(u"分组框_临时提示");
    auto* edit = window.ControlAs<QPlainTextEdit>(u"编辑框_临时输入框");
    QWidget* box = window.Control(c.box);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->autoFillBackground());  // covers what lies below
    EXPECT_EQ(panel->mapToGlobal(QPoint(0, 0)), box->mapToGlobal(QPoint(0, 0)));
    EXPECT_EQ(edit->size(), QSize(304, 48));
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("old"));
    EXPECT_EQ(GetControlStore().Text(kKeywordPanelPrompt), Cp(c.prompt));

    edit->setPlainText(QStringLiteral("a,b"));  // as typed
    SendMouse(window.Control(c.closer), QEvent::MouseButtonPress);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(edit->size(), QSize(0, 0));
    EXPECT_EQ(GetControlStore().Text(Cp(c.box)), "a,b");
  }
}

}  // namespace
