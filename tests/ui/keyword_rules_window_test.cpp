#include "ui/keyword_rules_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <fstream>
#include <memory>

#include "data/program_wide_objects.h"
#include "foundation/file_drop_target.h"
#include "platform/control_store.h"
#include "platform/qt/qt_drop_target_host.h"
#include "platform/scripted_file_dialogs.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "ui/keyword_rules.h"
#include "ui/maker_pages.h"
#include "ui_test_support.h"

namespace {

class KeywordRulesWindowTest : public ::testing::Test {
 protected:
  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(m_folder.Utf8(name), std::ios::binary) << bytes;
  }
  template <typename Widget = QWidget>
  static Widget* Child(QWidget* window, const char16_t* name) {
    return window->findChild<Widget*>(Q(name));
  }
  // Drops the files onto `target` as the file manager would.
  static void DropOn(QWidget* target, const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) {
      urls << QUrl::fromLocalFile(file);
    }
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }
  static void Press(QWidget* label) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &press);
  }
  std::string WordsOf(KeywordRulesWindow& window) {
    return window.Store()->Text(kReplacementWordsEdit);
  }

  ScratchFolder m_folder;
  ScopedEnvironment m_home{"QUILLMERE_HOME", m_folder.Utf8()};
};

TEST_F(KeywordRulesWindowTest, ControlsWithTheirCaptionsAndPlaces) {
  KeywordRulesWindow window;
  EXPECT_EQ(window.windowTitle(), Q(u"替换关键词设置"));
  const struct {
    const char16_t* name;
    const char* kind;
    const char16_t* caption;  // nullptr: an edit box
    QRect place;
    bool shown;
  } controls[] = {
      {u"单选框_普通替换",
       "QRadioButton",
       u"统一将下方的关键词替换为指定词",
       {24, 18, 224, 16},
       true},
      {u"透明标签4", "ClickableLabel", u"帮助说明", {265, 18, 71, 16}, true},
      {u"透明标签1",
       "ClickableLabel",
       u"↓要被替换的关键词（一行一个，任务开始前设置有效）：",
       {23, 45, 312, 24},
       true},
      {u"编辑框1", "QPlainTextEdit", nullptr, {9, 72, 423, 120}, true},
      {u"透明标签2",
       "ClickableLabel",
       u"↓用于统一替换的词，如不填，则是删除上方列表中的词。如果填入多行，",
       {16, 195, 404, 24},
       true},
      {u"透明标签7",
       "ClickableLabel",
       u"则是从下方被替换词中随机取一个进行替换。可以拖放txt文件到下方加入。",
       {17, 216, 416, 24},
       true},
      {u"按钮2", "QPushButton", u"选择文件", {374, 150, 64, 24}, false},
      {u"编辑框2", "QPlainTextEdit", nullptr, {8, 243, 424, 77}, true},
      {u"单选框_指定替换",
       "QRadioButton",
       u"将 ----> 前面的词，替换为 ---->后面的词",
       {24, 335, 264, 16},
       true},
      {u"透明标签5", "ClickableLabel", u"帮助说明", {302, 335, 61, 16}, true},
      {u"透明标签3",
       "ClickableLabel",
       u"↓要被替换的关键词（一行一个，任务开始前设置有效）：",
       {23, 358, 312, 24},
       true},
      {u"透明标签6", "ClickableLabel", u"加入规则", {364, 364, 56, 16}, true},
      {u"编辑框3", "QPlainTextEdit", nullptr, {9, 390, 423, 139}, true},
      {u"按钮1", "QPushButton", u"保存设置", {128, 533, 144, 32}, true},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(Q(c.name).toStdString());
    QWidget* widget = Child(&window, c.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), c.kind);
    EXPECT_EQ(widget->geometry(), c.place);
    EXPECT_EQ(widget->isVisibleTo(&window), c.shown);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text(), Q(c.caption));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      EXPECT_EQ(label->text(), Q(c.caption));
    }
  }
  // One radio group, the normal mode ticked at creation.
  auto* normal = Child<QRadioButton>(&window, u"单选框_普通替换");
  auto* specified = Child<QRadioButton>(&window, u"单选框_指定替换");
  EXPECT_TRUE(normal->isChecked());
  specified->click();
  EXPECT_FALSE(normal->isChecked());
  EXPECT_TRUE(window.Store()->Checked(kSpecifiedModeRadio));
}

TEST_F(KeywordRulesWindowTest, LoadsTheFileIntoItsOwnControls) {
  WriteFile("keyreplace.ini", "{\"普通要被替换的词\":\"kw\"}");
  auto* window = new KeywordRulesWindow;
  window->OnCreated();
  auto* edit = Child<QPlainTextEdit>(window, u"编辑框1");
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(ProcessEventsUntil([&] { return edit->toPlainText() == QStringLiteral("kw"); }));
  EXPECT_FALSE(GetControlStore().Has(kNormalKeywordsEdit));  // not the main window's store
  // Closing before a load ends is safe: the load writes into the shared store.
  const auto store = window->Store();
  window->OnCreated();
  delete window;
  EXPECT_TRUE(
      ProcessEventsUntil([&] { return store->Text(kSpecifiedRulesEdit) == kEmptyRulesTemplate; }));
}

// The window may hold the last reference to its store: its binding must leave
// the store's listeners before the store goes (a sanitizer build shows the
// use after free otherwise).
TEST_F(KeywordRulesWindowTest, ClosingWithTheLastReferenceToItsStoreIsSafe) {
  auto* window = new KeywordRulesWindow;
  window->OnCreated();
  std::weak_ptr<ControlStore> store = window->Store();
  // The loading thread lets go of the store when it ends.
  EXPECT_TRUE(ProcessEventsUntil([&] { return store.use_count() == 1; }));
  delete window;
  EXPECT_TRUE(store.expired());
}

TEST_F(KeywordRulesWindowTest, FilesDroppedOnTheThreePlacesAreImportedOneByOne) {
  ScriptedDesktopGuard ui;
  QtDropTargetHost host;
  ScopedDropTargetHost useHost(host);
  WriteFile("a.txt", "a\r\n\r\na\r\nb");
  WriteFile("b.txt", "c");
  WriteFile("c.txt", "d\r\na");
  const QString a = QString::fromStdString(m_folder.Utf8("a.txt"));
  const QString b = QString::fromStdString(m_folder.Utf8("b.txt"));
  const QString c = QString::fromStdString(m_folder.Utf8("c.txt"));
  auto window = std::make_unique<KeywordRulesWindow>();
  window->OnCreated();
  ASSERT_TRUE(ProcessEventsUntil(
      [&] { return window->Store()->Text(kSpecifiedRulesEdit) == kEmptyRulesTemplate; }));

  // Two files at once onto the edit box (its viewport takes the drop): two
  // count boxes, once the drop has been answered.
  for (int i = 0; i < 4; ++i) {
    ui.desktop.AnswerNext(kBoxResultOk);
  }
  auto* words = Child<QPlainTextEdit>(window.get(), u"编辑框2");
  DropOn(words->viewport(), {a, b});
  EXPECT_TRUE(ui.desktop.Boxes().empty());
  EXPECT_TRUE(ProcessEventsUntil([&] { return ui.desktop.Boxes().size() == 2; }));
  EXPECT_EQ(WordsOf(*window), "a\r\na\r\nb\r\nc");
  EXPECT_EQ(ui.desktop.Boxes()[0].text, "统一模式，要替换的关键词去重后数量：2");
  EXPECT_EQ(ui.desktop.Boxes()[1].text, "统一模式，要替换的关键词去重后数量：3");

  DropOn(Child(window.get(), u"透明标签2"), {c});
  DropOn(Child(window.get(), u"透明标签7"), {b});
  EXPECT_TRUE(ProcessEventsUntil([&] { return ui.desktop.Boxes().size() == 4; }));
  EXPECT_EQ(WordsOf(*window), "a\r\na\r\nb\r\nc\r\nd\r\na\r\nc");
  EXPECT_EQ(ui.desktop.Boxes()[3].text, "统一模式，要替换的关键词去重后数量：4");
  EXPECT_EQ(words->textCursor().position(), words->document()->characterCount() - 1);

  // A closed window leaves no control that takes drops.
  window.reset();
  EXPECT_FALSE(g_keywordEditDropTarget.IsRegistered());
  EXPECT_FALSE(g_keywordLabelDropTarget.IsRegistered());
}

TEST_F(KeywordRulesWindowTest, ChooseFileButtonAndHelpLinks) {
  ScriptedDesktopGuard ui;
  ScriptedFileDialogs dialogs(ReportToGtest);
  ScopedFileDialogs useDialogs(dialogs);
  KeywordRulesWindow window;
  auto* choose = Child<QPushButton>(&window, u"按钮2");
  dialogs.AnswerNextFile({});
  choose->click();  // cancelled: nothing, not even a box
  EXPECT_TRUE(ui.desktop.Boxes().empty());
  ASSERT_EQ(dialogs.FileRequests().size(), 1u);
  const FileDialogRequest request = dialogs.FileRequests()[0];
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].description, "文本文件");
  EXPECT_EQ(request.filters[0].patterns, "*.txt");
  EXPECT_EQ(request.initialFolder, m_folder.Utf8());

  WriteFile("w.txt", "x\r\ny");
  dialogs.AnswerNextFile({m_folder.Utf8("w.txt")});
  ui.desktop.AnswerNext(kBoxResultOk);
  choose->click();
  EXPECT_EQ(WordsOf(window), "x\r\ny");

  Press(Child(&window, u"透明标签4"));
  Press(Child(&window, u"透明标签5"));
  EXPECT_EQ(ui.desktop.OpenedTargets(),
            (std::vector<std::string>{KeywordHelpPageUrl(), KeywordHelpPageUrl()}));
}

TEST_F(KeywordRulesWindowTest, OpeningTwiceKeepsOneWindow) {
  KeywordRulesWindow* first = OpenKeywordRulesWindow(nullptr);
  EXPECT_EQ(OpenKeywordRulesWindow(nullptr), first);
  EXPECT_TRUE(first->isVisible());
  first->close();  // deleted on close
  EXPECT_TRUE(ProcessEventsUntil([&] {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return !g_keywordEditDropTarget.IsRegistered();
  }));
  KeywordRulesWindow* second = OpenKeywordRulesWindow(nullptr);
  EXPECT_TRUE(second->isVisible());
  delete second;
}

}  // namespace
