#include "ui/settings_help_window.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "ui/qt_text.h"

namespace {

// The colour of the character at `position`.
QColor ColourAt(QTextEdit* edit, int position) {
  QTextCursor cursor(edit->document());
  cursor.setPosition(position + 1);
  return cursor.charFormat().foreground().color();
}

bool IsRed(QTextEdit* edit, int position) {
  return ColourAt(edit, position) == QColor(255, 0, 0);
}

TEST(SettingsHelpWindow, NineHeadingsRedAndTheLastHeadingBlack) {
  SettingsHelpWindow window;
  EXPECT_EQ(window.windowTitle(), QtText(u"设置说明"));
  QTextEdit* edit = window.TextBox();
  const QString text = edit->toPlainText();
  const QStringList lines = text.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 41);
  EXPECT_EQ(lines[0], QtText(u"改名规则支持免费定制，请联系客服。"));
  EXPECT_EQ(lines[23], QtText(u"是否增加前\\后缀："));
  EXPECT_EQ(lines[36], QtText(u"软件启动后，达到修改成功的数量后暂停，等0点后继续（第二天）。"));
  for (int empty : {3, 4, 8, 11, 13, 15, 20, 23, 26, 29, 32, 35, 38, 39, 40, 41}) {
    EXPECT_TRUE(lines[empty - 1].isEmpty()) << "line " << empty;
  }
  const char16_t* const red[] = {
      u"免费定制",
      u"修改条件：",
      u"修改位置：",
      u"修改对象：",
      u"是否修改扩展名：",
      u"是否增加前\\后缀：",
      u"是否自动增加数字序号前缀：",
      u"是否替换修改条件中的关键词：",
      u"删除包含的随机中文汉字：",
  };
  for (const char16_t* heading : red) {
    const QString words = QtText(heading);
    SCOPED_TRACE(words.toStdString());
    const int at = static_cast<int>(text.indexOf(words));
    ASSERT_GE(at, 0);
    EXPECT_TRUE(IsRed(edit, at));
    EXPECT_TRUE(IsRed(edit, at + static_cast<int>(words.size()) - 1));
    EXPECT_FALSE(IsRed(edit, at + static_cast<int>(words.size())));
  }
  const QString black = QtText(u"达到当天成功修改数量后暂停：");
  EXPECT_FALSE(IsRed(edit, static_cast<int>(text.indexOf(black))));
}

TEST(SettingsHelpWindow, OnlyTheFirstOccurrenceTurnsRed) {
  QTextEdit edit;
  edit.setPlainText(QtText(u"a修改条件：b修改条件：c"));
  HighlightHelpHeading(&edit, QtText(u"修改条件："));
  HighlightHelpHeading(&edit, QString());
  HighlightHelpHeading(&edit, QtText(u"不在其中"));
  EXPECT_TRUE(IsRed(&edit, 1));
  EXPECT_FALSE(IsRed(&edit, 0));
  EXPECT_FALSE(IsRed(&edit, 7));
  EXPECT_FALSE(edit.textCursor().hasSelection());
  // The search matches case.
  edit.setPlainText(QStringLiteral("Abc abc"));
  HighlightHelpHeading(&edit, QStringLiteral("abc"));
  EXPECT_FALSE(IsRed(&edit, 0));
  EXPECT_TRUE(IsRed(&edit, 4));
}

}  // namespace
