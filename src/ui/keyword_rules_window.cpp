#include "ui/keyword_rules_window.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <thread>

#include "data/program_wide_objects.h"
#include "foundation/file_drop_target.h"
#include "foundation/screen_scaling.h"
#include "platform/control_store.h"
#include "platform/qt/qt_window_handle.h"
#include "ui/clickable_label.h"
#include "ui/control_binding.h"
#include "ui/keyword_rules.h"
#include "ui/maker_pages.h"
#include "ui/qt_text.h"

namespace {

constexpr int kDesignDpi = 96;

template <typename Widget>
Widget* Place(Widget* widget, const char16_t* name, QRect place) {
  widget->setObjectName(QtText(name));
  widget->setGeometry(place);
  return widget;
}

ClickableLabel* Label(QWidget* parent, const char16_t* name, const char16_t* caption, QRect place) {
  auto* label = new ClickableLabel(parent);
  label->setText(QtText(caption));
  return Place(label, name, place);
}

QPlainTextEdit* Edit(QWidget* parent, const char16_t* name, QRect place) {
  auto* edit = Place(new QPlainTextEdit(parent), name, place);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return edit;
}

QPointer<KeywordRulesWindow>& OpenWindow() {
  static QPointer<KeywordRulesWindow> window;
  return window;
}

}  // namespace

KeywordRulesWindow::KeywordRulesWindow(QWidget* parent)
    : QDialog(parent), m_store(std::make_shared<ControlStore>()) {
  setWindowTitle(QtText(u"替换关键词设置"));
  resize(443, 606);
  auto* normal = Place(new QRadioButton(QtText(u"统一将下方的关键词替换为指定词"), this),
                       u"单选框_普通替换", {24, 18, 224, 16});
  normal->setChecked(true);
  ClickableLabel* help1 = Label(this, u"透明标签4", u"帮助说明", {265, 18, 71, 16});
  Label(this, u"透明标签1", u"↓要被替换的关键词（一行一个，任务开始前设置有效）：",
        {23, 45, 312, 24});
  Edit(this, u"编辑框1", {9, 72, 423, 120});
  Label(this, u"透明标签2", u"↓用于统一替换的词，如不填，则是删除上方列表中的词。如果填入多行，",
        {16, 195, 404, 24});
  Label(this, u"透明标签7", u"则是从下方被替换词中随机取一个进行替换。可以拖放txt文件到下方加入。",
        {17, 216, 416, 24});
  auto* choose = Place(new QPushButton(QtText(u"选择文件"), this), u"按钮2", {374, 150, 64, 24});
  choose->hide();
  Edit(this, u"编辑框2", {8, 243, 424, 77});
  Place(new QRadioButton(QtText(u"将 ----> 前面的词，替换为 ---->后面的词"), this),
        u"单选框_指定替换", {24, 335, 264, 16});
  ClickableLabel* help2 = Label(this, u"透明标签5", u"帮助说明", {302, 335, 61, 16});
  Label(this, u"透明标签3", u"↓要被替换的关键词（一行一个，任务开始前设置有效）：",
        {23, 358, 312, 24});
  ClickableLabel* addRule = Label(this, u"透明标签6", u"加入规则", {364, 364, 56, 16});
  QPlainTextEdit* rules = Edit(this, u"编辑框3", {9, 390, 423, 139});
  rules->setLineWrapMode(QPlainTextEdit::NoWrap);
  rules->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* save = Place(new QPushButton(QtText(u"保存设置"), this), u"按钮1", {128, 533, 144, 32});
  for (ClickableLabel* link : {help1, help2}) {
    link->setCursor(Qt::PointingHandCursor);
    connect(link, &ClickableLabel::leftButtonDown, this, [] { OpenKeywordHelpPage(); });
  }
  m_binding = new ControlBinding(this, *m_store);
  connect(save, &QPushButton::clicked, this, [this] { SaveKeywordRules(*m_store); });
  connect(choose, &QPushButton::clicked, this, [this] { Import({}); });
  connect(addRule, &ClickableLabel::leftButtonDown, this, [this] { InsertRuleTemplate(*m_store); });
}

KeywordRulesWindow::~KeywordRulesWindow() {
  // The drop targets serve this window only; no control keeps a way into it.
  g_keywordEditDropTarget.Unregister();
  g_keywordLabelDropTarget.Unregister();
  // The binding leaves the store's listeners before the store can go.
  delete m_binding;
}

void KeywordRulesWindow::OnCreated() {
  if (!m_rescaled) {
    m_rescaled = true;
    RescaleWindowForDpi(WindowHandleOf(this), kDesignDpi);
  }
  std::thread([store = m_store] { LoadKeywordRules(*store); }).detach();
  const auto routine = [window = QPointer<KeywordRulesWindow>(this)](const std::string& path) {
    if (window != nullptr) {
      window->OnKeywordFileDropped(path);
    }
  };
  const auto handleOf = [this](const char16_t* name) {
    return WindowHandleOf(findChild<QWidget*>(QtText(name)));
  };
  g_keywordEditDropTarget.Register(handleOf(u"编辑框2"), routine, false);
  g_keywordLabelDropTarget.Register(handleOf(u"透明标签7"), routine, false);
  g_keywordLabelDropTarget.Register(handleOf(u"透明标签2"), routine, false);
}

void KeywordRulesWindow::OnKeywordFileDropped(const std::string& path) {
  m_droppedFiles.push_back(path);
  if (!m_importingDrops && m_droppedFiles.size() == 1) {
    QMetaObject::invokeMethod(
        this, [this] { ImportDroppedFiles(); }, Qt::QueuedConnection);
  }
}

void KeywordRulesWindow::ImportDroppedFiles() {
  // Files dropped while a count box is up join the queue.
  m_importingDrops = true;
  while (!m_droppedFiles.empty()) {
    const std::string path = m_droppedFiles.front();
    m_droppedFiles.pop_front();
    Import(path);
  }
  m_importingDrops = false;
}

void KeywordRulesWindow::Import(const std::string& path) {
  ImportKeywordsFromTextFile(*m_store, path);
  if (auto* words = findChild<QPlainTextEdit*>(QtText(u"编辑框2"))) {
    words->moveCursor(QTextCursor::End);
    words->ensureCursorVisible();
  }
}

KeywordRulesWindow* OpenKeywordRulesWindow(QWidget* owner) {
  QPointer<KeywordRulesWindow>& open = OpenWindow();
  if (open != nullptr) {
    open->raise();
    open->activateWindow();
    return open;
  }
  auto* window = new KeywordRulesWindow(owner);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->OnCreated();
  window->show();
  open = window;
  return window;
}
