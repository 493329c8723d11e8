#include "ui/settings_help_window.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "ui/qt_text.h"

namespace {

QColor ColourAt(QTextEdit* edit, int position) {
  QTextCursor cursor(edit->document());
  cursor.setPosition(position + 1);
  return cursor.charFormat().foreground().color();
}

TEST(SettingsHelpWindow, NineHeadingsRedAtTheirFirstOccurrenceOnly) {
  SettingsHelpWindow window;
  QTextEdit* edit = window.TextBox();
  const QString text = edit->toPlainText();
  EXPECT_EQ(text.split(QLatin1Char('\n')).size(), 41);
  const QString custom = QtText(u"免费定制");
  EXPECT_EQ(ColourAt(edit, static_cast<int>(text.indexOf(custom))), QColor(255, 0, 0));
  const QString heading = QtText(u"是否增加前\\后缀：");
  EXPECT_EQ(ColourAt(edit, static_cast<int>(text.indexOf(heading))), QColor(255, 0, 0));
  const QString condition = QtText(u"修改条件：");
  const int first = static_cast<int>(text.indexOf(condition));
  EXPECT_EQ(ColourAt(edit, first), QColor(255, 0, 0));
  // Only the heading's characters turn red, not the line after it.
  EXPECT_NE(ColourAt(edit, first + static_cast<int>(condition.size()) + 2), QColor(255, 0, 0));
  const QString black = QtText(u"达到当天成功修改数量后暂停：");
  EXPECT_NE(ColourAt(edit, static_cast<int>(text.indexOf(black))), QColor(255, 0, 0));
}

}  // namespace
