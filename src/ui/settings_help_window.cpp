#include "ui/settings_help_window.h"

#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "ui/qt_text.h"

QString SettingsHelpText() {
  static const char16_t* const kLines[] = {
      u"改名规则支持免费定制，请联系客服。",
      u"因为网盘对修改频率有限制，所以是模拟人工操作的，有时会卡住10多秒，这是因为出现改名太快了，"
      u"或者是针对同一文件频繁改名导致的(上次改名后百度云未全部同步到所有节点)"
      u"，软件在自动重试等待，属于正常现象。",
      u"",
      u"",
      u"修改条件：",
      u"如果选中且填了关键词，后面的操作都是文件名包含此关键词时，才进行改名操作。",
      u"如果此处填了内容(无论选中与否)，后面的替换关键词操作，都是替换掉此处填写的内容。",
      u"",
      u"修改位置：",
      u"单选中：只针对当前选中的文件或目录进行操作。如果要针对全盘，选中根目录即可,(选中 "
      u"xxxx的网盘)。",
      u"",
      u"选中目录含子夹：针对当前选中的目录下所有文件与目录(无论包含多少层子夹)"
      u"进行操作，最后也会修改选中的本身目录名。",
      u"",
      u"选中目录下一层：针对当前选中的目录下的所有文件与目录("
      u"只会针对子夹目录名，不会针对子夹下的内容)进行操作，最后也会修改选中的本身目录名。",
      u"",
      u"修改对象：",
      u"全部：针对文件名与目录名进行修改。",
      u"只修改目录名：选中后不会针对文件名进行修改。",
      u"只修改文件名：选中后不会针对目录名进行修改。",
      u"",
      u"是否修改扩展名：",
      u"可以将mp3的后缀名替换为mp4，直接填mp4即可，不要带.号。",
      u"",
      u"是否增加前\\后缀：",
      u"这个没什么好说的。",
      u"",
      u"是否自动增加数字序号前缀：",
      u"如果你想从1开始增加，就填0，想从01开始增加，就填00，开启此功能后如果不填，则默认从001开始增"
      u"加。",
      u"",
      u"是否替换修改条件中的关键词：",
      u"将包含的指定关键词(就是修改条件项目下填入的内容)"
      u"全部替换为填入的内容，如果不填，就是删除对应的关键词。",
      u"",
      u"删除包含的随机中文汉字：",
      u"例：原始文件名为：sag右一在在，设置删除数量为2，则新的文件名是：sag在在。",
      u"",
      u"达到当天成功修改数量后暂停：",
      u"软件启动后，达到修改成功的数量后暂停，等0点后继续（第二天）。",
      u"",
      u"",
      u"",
      u"",
  };
  QStringList lines;
  for (const char16_t* line : kLines) {
    lines << QString::fromUtf16(line);
  }
  return lines.join(QLatin1Char('\n'));
}

void HighlightHelpHeading(QTextEdit* edit, const QString& heading) {
  if (heading.isEmpty()) {
    return;
  }
  const int found = edit->toPlainText().indexOf(heading, 0, Qt::CaseSensitive);
  if (found < 0) {
    return;
  }
  QTextCursor cursor(edit->document());
  cursor.setPosition(found);
  cursor.setPosition(found + static_cast<int>(heading.size()), QTextCursor::KeepAnchor);
  QTextCharFormat format;
  format.setForeground(QColor(255, 0, 0));
  cursor.mergeCharFormat(format);
}

SettingsHelpWindow::SettingsHelpWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QtText(u"设置说明"));
  resize(430, 372);
  m_text = new QTextEdit(this);
  m_text->setObjectName(QtText(u"超级编辑框1"));
  m_text->setGeometry(8, 8, 408, 328);
  m_text->setReadOnly(true);
  OnCreated();
}

void SettingsHelpWindow::OnCreated() {
  m_text->setPlainText(SettingsHelpText());
  static const char16_t* const kHeadings[] = {
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
  for (const char16_t* heading : kHeadings) {
    HighlightHelpHeading(m_text, QString::fromUtf16(heading));
  }
}
