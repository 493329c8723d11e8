#include "ui/settings_help_window.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "foundation/screen_scaling.h"
#include "platform/qt/qt_window_handle.h"
#include "ui/qt_text.h"

QString SettingsHelpText() {
  static const char16_t kText[] =
#include "../../resources/settings_help.txt.inc"
      ;
  return QString::fromUtf16(kText);
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
  if (!m_rescaled) {
    m_rescaled = true;
    RescaleWindowForDpi(WindowHandleOf(this), 96);
  }
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
