#include "ui/keyword_rules_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <thread>

#include "platform/control_store.h"
#include "ui/clickable_label.h"
#include "ui/control_binding.h"
#include "ui/keyword_rules.h"
#include "ui/qt_text.h"

KeywordRulesWindow::KeywordRulesWindow(QWidget* parent)
    : QDialog(parent), m_store(std::make_shared<ControlStore>()) {
  setWindowTitle(QtText(u"替换关键词设置"));
  resize(443, 606);
  auto named = [](QWidget* widget, const char16_t* name, QRect place) {
    widget->setObjectName(QtText(name));
    widget->setGeometry(place);
    return widget;
  };
  auto* normal = new QRadioButton(QtText(u"统一将下方的关键词替换为指定词"), this);
  named(normal, u"单选框_普通替换", {24, 18, 224, 16});
  normal->setChecked(true);
  auto* label1 = new ClickableLabel(this);
  label1->setText(QtText(u"↓要被替换的关键词（一行一个，任务开始前设置有效）："));
  named(label1, u"透明标签1", {23, 45, 312, 24});
  named(new QPlainTextEdit(this), u"编辑框1", {9, 72, 423, 120});
  auto* label2 = new ClickableLabel(this);
  label2->setText(QtText(u"↓用于统一替换的词，如不填，则是删除上方列表中的词。如果填入多行，"));
  named(label2, u"透明标签2", {16, 195, 404, 24});
  auto* label7 = new ClickableLabel(this);
  label7->setText(QtText(u"则是从下方被替换词中随机取一个进行替换。可以拖放txt文件到下方加入。"));
  named(label7, u"透明标签7", {17, 216, 416, 24});
  named(new QPlainTextEdit(this), u"编辑框2", {8, 243, 424, 77});
  auto* specified = new QRadioButton(QtText(u"将 ----> 前面的词，替换为 ---->后面的词"), this);
  named(specified, u"单选框_指定替换", {24, 335, 264, 16});
  auto* label3 = new ClickableLabel(this);
  label3->setText(QtText(u"↓要被替换的关键词（一行一个，任务开始前设置有效）："));
  named(label3, u"透明标签3", {23, 358, 312, 24});
  auto* label6 = new ClickableLabel(this);
  label6->setText(QtText(u"加入规则"));
  named(label6, u"透明标签6", {364, 364, 56, 16});
  named(new QPlainTextEdit(this), u"编辑框3", {9, 390, 423, 139});
  auto* save = new QPushButton(QtText(u"保存设置"), this);
  named(save, u"按钮1", {128, 533, 144, 32});
  m_binding = new ControlBinding(this, *m_store);
  connect(save, &QPushButton::clicked, this, [this] { SaveKeywordRules(*m_store); });
  connect(label6, &ClickableLabel::leftButtonDown, this, [this] { InsertRuleTemplate(*m_store); });
  OnCreated();
}

KeywordRulesWindow::~KeywordRulesWindow() {
  // The binding leaves the store's listeners before the store can go.
  delete m_binding;
}

void KeywordRulesWindow::OnCreated() {
  std::thread([store = m_store] { LoadKeywordRules(*store); }).detach();
}

void OpenKeywordRulesWindow(QWidget* owner) {
  auto* window = new KeywordRulesWindow(owner);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}
