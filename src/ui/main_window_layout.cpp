#include "ui/main_window_layout.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabWidget>
#include <QTreeWidget>

#include "ui/clickable_label.h"
#include "ui/control_binding.h"
#include "ui/qt_text.h"

namespace {

// The table follows the window definition row by row: the account page, the
// rename conditions page, the rename settings page, then the window itself.
constexpr ControlSpec kControls[] = {
    {ControlKind::ListView, u"超级列表框_百度帐号列表", kPage0, u"", {7, 38, 296, 240}, 0},
    {ControlKind::Button, u"按钮2", kPage0, u"登陆百度帐号", {32, 288, 104, 35}, 0},
    {ControlKind::Button, u"按钮4", kPage0, u"保存帐号列表", {176, 288, 104, 35}, 0},
    {ControlKind::TransparentLabel,
     u"透明标签9",
     kPage0,
     u"手动添加帐号cookies：",
     {15, 346, 128, 24},
     0},
    {ControlKind::MultiLineEdit, u"编辑框_百度cookies", kPage0, u"", {7, 376, 296, 80}, 0},
    {ControlKind::Button,
     u"按钮3",
     kPage0,
     u"手动添加，或通过上方的帐号登陆方式添加",
     {17, 463, 272, 32},
     0},
    {ControlKind::GroupBox,
     u"分组框5",
     kPage1,
     u"修改条件（复制文件时也支持此设置）",
     {8, 38, 299, 109},
     0},
    {ControlKind::CheckBox,
     u"选择框_不包含关键词才修改",
     u"分组框5",
     u"不包含关键字才修改：",
     {9, 25, 144, 16},
     0},
    {ControlKind::Edit, u"编辑框_不包含的关键词", u"分组框5", u"", {164, 19, 128, 24}, 0},
    {ControlKind::CheckBox,
     u"选择框_包含关键词才修改",
     u"分组框5",
     u"需要包含关键字才修改：",
     {9, 54, 153, 16},
     0},
    {ControlKind::Edit, u"编辑框_包含关键词才修改", u"分组框5", u"", {164, 49, 128, 24}, 0},
    {ControlKind::TransparentLabel,
     u"透明标签6",
     u"分组框5",
     u"说明：如不选或不填，则针对修改位置的所有文件",
     {17, 77, 267, 24},
     0},
    {ControlKind::GroupBox, u"分组框3", kPage1, u"修改对象", {8, 157, 299, 68}, 0},
    {ControlKind::Radio,
     u"单选框_修改对象全部修改",
     u"分组框3",
     u"全部",
     {6, 26, 72, 24},
     kChecked},
    {ControlKind::Radio,
     u"单选框_修改对象只修改目录名",
     u"分组框3",
     u"只修改目录名",
     {65, 26, 108, 24},
     0},
    {ControlKind::Radio,
     u"单选框_修改对象只修改文件名",
     u"分组框3",
     u"只修改文件名",
     {179, 26, 99, 24},
     0},
    {ControlKind::GroupBox,
     u"分组框7",
     kPage1,
     u"修改方式（如无特殊需要，建议默认：异步）",
     {8, 242, 299, 68},
     0},
    {ControlKind::Radio,
     u"单选框_修改模式异步",
     u"分组框7",
     u"异步模式",
     {12, 26, 68, 24},
     kChecked},
    {ControlKind::Radio, u"单选框_修改模式同步", u"分组框7", u"同步模式", {94, 26, 72, 24}, 0},
    {ControlKind::Radio, u"单选框_修改模式自动", u"分组框7", u"自动模式", {187, 26, 77, 24}, 0},
    {ControlKind::CheckBox,
     u"选择框_循环执行改名任务",
     kPage1,
     u"批量修改时循环执行改名，间隔/秒：",
     {13, 324, 227, 18},
     0},
    {ControlKind::Edit, u"编辑框_循环改名等待时间", kPage1, u"7200", {232, 322, 45, 22}, 0},
    {ControlKind::CheckBox,
     u"选择框_启用预读取模式",
     kPage1,
     u"改名任务启用预读取所有文件模式",
     {13, 373, 216, 18},
     kChecked},
    {ControlKind::ClickableLabel, u"透明标签10", kPage1, u"说明", {249, 372, 48, 16}, 0},
    {ControlKind::TransparentLabel,
     u"透明标签8",
     kPage1,
     u"开启预读取时，针对大文件夹将提升速度。\r\n",
     {32, 400, 264, 24},
     0},
    {ControlKind::CheckBox,
     u"选择框_预读取模式下快速替换文件名关键词",
     kPage1,
     u"预读取模式下快速改名",
     {13, 433, 163, 18},
     kChecked},
    {ControlKind::ClickableLabel, u"透明标签11", kPage1, u"说明", {249, 433, 48, 16}, 0},
    {ControlKind::TransparentLabel,
     u"透明标签12",
     kPage1,
     u"将多条改名请求合并到一起提交，节省改名时间",
     {32, 460, 256, 24},
     0},
    {ControlKind::TransparentLabel,
     u"透明标签13",
     kPage1,
     u"快速模式每次提交改名数量(1-100)：",
     {32, 482, 192, 24},
     0},
    {ControlKind::Edit, u"编辑框_单次改名提交数量", kPage1, u"50", {240, 482, 37, 22}, 0},
    {ControlKind::GroupBox, u"分组框2", kPage2, u"修改位置", {4, 36, 299, 48}, 0},
    {ControlKind::Radio, u"单选框_只修改单选中", u"分组框2", u"单选中", {7, 19, 72, 24}, 0},
    {ControlKind::Radio,
     u"单选框_选中目录包含子夹",
     u"分组框2",
     u"选中目录下的所有",
     {68, 19, 125, 24},
     kChecked},
    {ControlKind::Radio,
     u"单选框_不修改子目录",
     u"分组框2",
     u"选中目录下一层",
     {188, 19, 104, 24},
     0},
    {ControlKind::GroupBox, u"分组框4", kPage2, u"改名参数", {6, 94, 298, 274}, 0},
    {ControlKind::CheckBox,
     u"选择框_关键词替换",
     u"分组框4",
     u"是否替换文件名的关键词为指定内容",
     {12, 24, 213, 16},
     0},
    {ControlKind::Button, u"按钮7", u"分组框4", u"设置", {233, 20, 48, 24}, 0},
    {ControlKind::CheckBox,
     u"选择框_修改扩展名",
     u"分组框4",
     u"是否修改扩展名为(如mp3)：",
     {12, 52, 182, 16},
     0},
    {ControlKind::Edit, u"编辑框_修改扩展名内容", u"分组框4", u"", {203, 49, 79, 24}, 0},
    {ControlKind::CheckBox, u"选择框_增加前缀", u"分组框4", u"增加前缀：", {12, 78, 85, 16}, 0},
    {ControlKind::Edit, u"编辑框_增加前缀内容", u"分组框4", u"", {89, 76, 54, 24}, 0},
    {ControlKind::CheckBox, u"选择框_增加后缀", u"分组框4", u"增加后缀：", {150, 79, 83, 16}, 0},
    {ControlKind::Edit, u"编辑框_增加后缀内容", u"分组框4", u"", {227, 76, 54, 24}, 0},
    {ControlKind::CheckBox,
     u"选择框_自动增加数字序号前缀",
     u"分组框4",
     u"是否自动增加数字序号前缀：",
     {12, 108, 191, 16},
     0},
    {ControlKind::Edit, u"编辑框_自动增加数字序号前缀", u"分组框4", u"", {203, 104, 78, 24}, 0},
    {ControlKind::TransparentLabel,
     u"透明标签4",
     u"分组框4",
     u"说明：填起始数字-1，不填则从 000 开始。",
     {33, 129, 250, 24},
     0},
    {ControlKind::CheckBox,
     u"选择框_通过正则删除",
     u"分组框4",
     u"通过正则删除：",
     {12, 166, 110, 16},
     0},
    {ControlKind::Button, u"按钮5", u"分组框4", u"?", {110, 164, 12, 20}, 0},
    {ControlKind::Edit, u"编辑框_通过正则删除", u"分组框4", u"", {125, 162, 157, 24}, 0},
    {ControlKind::CheckBox,
     u"选择框_删除包含的随机中文汉字",
     u"分组框4",
     u"删除包含的随机中文汉字，数量：",
     {12, 194, 221, 16},
     0},
    {ControlKind::Edit, u"编辑框_汉字删除数量", u"分组框4", u"", {242, 190, 40, 24}, 0},
    {ControlKind::CheckBox,
     u"选择框_删除文件",
     u"分组框4",
     u"删除包含关键词的文件(不删目录)：",
     {12, 222, 215, 16},
     0},
    {ControlKind::Edit, u"编辑框_删除文件关键词", u"分组框4", u"", {226, 218, 57, 24}, 0},
    {ControlKind::CheckBox,
     u"选择框_删除目录",
     u"分组框4",
     u"删除包含关键词的目录，谨慎开启：",
     {12, 248, 214, 16},
     0},
    {ControlKind::Edit, u"编辑框_删除目录关键词", u"分组框4", u"", {226, 244, 57, 24}, 0},
    {ControlKind::GroupBox, u"分组框6", kPage2, u"其他", {7, 382, 298, 75}, 0},
    {ControlKind::CheckBox,
     u"选择框_当天暂停",
     u"分组框6",
     u"达到当天成功数量后暂停,0点后再继续",
     {13, 21, 229, 16},
     0},
    {ControlKind::Edit, u"编辑框_当天修改数量", u"分组框6", u"500", {242, 17, 40, 24}, 0},
    {ControlKind::CheckBox,
     u"选择框_跳过本次软件启动后已修改成功的文件不修改",
     u"分组框6",
     u"跳过本次软件启动后已修改成功的文件不修改",
     {13, 48, 272, 16},
     0},
    {ControlKind::Button, u"按钮8", kPage2, u"设置帮助", {9, 477, 64, 27}, 0},
    {ControlKind::Button, u"按钮6", kPage2, u"预览", {84, 478, 42, 27}, 0},
    {ControlKind::Button, u"按钮_开始改名", kPage2, u"开始批量改名", {144, 478, 100, 27}, 0},
    {ControlKind::Button, u"按钮_停止改名", kPage2, u"停止", {255, 478, 48, 27}, 0},
    {ControlKind::TreeView, u"树型框1", nullptr, u"", {330, 4, 651, 468}, 0},
    {ControlKind::TransparentLabel,
     u"透明标签_刷新提示",
     nullptr,
     u"点击左下方“刷新根目录”按钮显示网盘文件列表",
     {456, 200, 440, 40},
     0},
    {ControlKind::Button,
     u"按钮9",
     nullptr,
     u"将上方选中的目录下的文件归档到同名目录中，没有目录将创建(如将 战狼10.mp4 归档到 "
     u"战狼10\\战狼10.mp4)",
     {349, 483, 609, 45},
     0},
    {ControlKind::Button, u"按钮1", nullptr, u"刷新根目录", {230, 535, 88, 35}, 0},
    {ControlKind::Radio, u"单选框_按名称正排", nullptr, u"按名称正排", {23, 544, 80, 24}, kChecked},
    {ControlKind::Radio, u"单选框_按名称倒排", nullptr, u"按名称倒排", {114, 544, 80, 24}, 0},
    {ControlKind::Radio, u"单选框_按时间正排", nullptr, u"按时间正排", {22, 580, 80, 24}, 0},
    {ControlKind::Radio, u"单选框_按时间倒排", nullptr, u"按时间倒排", {114, 580, 80, 24}, 0},
    {ControlKind::ClickableLabel, u"透明标签7", nullptr, u"软件网站", {252, 581, 48, 15}, 0},
    {ControlKind::Label, u"标签_反馈事件", nullptr, u"", {312, 600, 24, 32}, kHidden},
    {ControlKind::Button, u"按钮_保存界面配置", nullptr, u"保存此界面配置", {12, 613, 100, 32}, 0},
    {ControlKind::Button, u"按钮_读取配置", nullptr, u"读取配置", {137, 613, 73, 32}, 0},
    {ControlKind::Button, u"按钮10", nullptr, u"检测更新", {238, 613, 80, 32}, 0},
    {ControlKind::GroupBox,
     u"分组框1",
     nullptr,
     u"复制自己的广告文件到指定目录（通过在上方目录结构中单击鼠标右键进行选择）",
     {333, 539, 648, 111},
     0},
    {ControlKind::TransparentLabel,
     u"透明标签2",
     u"分组框1",
     u"将文件或目录：",
     {13, 23, 83, 16},
     0},
    {ControlKind::Edit, u"编辑框_被复制对象", u"分组框1", u"", {97, 19, 471, 24}, kKeepsNames},
    {ControlKind::TransparentLabel,
     u"透明标签3",
     u"分组框1",
     u"复制到目录下：",
     {13, 51, 83, 16},
     0},
    {ControlKind::Edit, u"编辑框_复制到目标位置", u"分组框1", u"", {97, 49, 471, 24}, kKeepsNames},
    {ControlKind::Button, u"按钮_开始复制文件", u"分组框1", u"开始复制", {572, 13, 70, 32}, 0},
    {ControlKind::Button, u"按钮_复制文件暂停和继续", u"分组框1", u"暂停", {571, 51, 32, 24}, 0},
    {ControlKind::Button, u"按钮_复制文件停止", u"分组框1", u"停止", {610, 50, 32, 24}, 0},
    {ControlKind::Radio,
     u"单选框_复制到指定目录_不含子夹",
     u"分组框1",
     u"只复制到目录下",
     {8, 81, 112, 16},
     0},
    {ControlKind::Radio,
     u"单选框_复制到指定目录_包含一级子夹",
     u"分组框1",
     u"只复制到包含的子目录",
     {123, 81, 144, 16},
     0},
    {ControlKind::Radio,
     u"单选框_复制到指定目录_包括子目录",
     u"分组框1",
     u"复制到所有子、孙目录",
     {273, 82, 145, 16},
     kChecked},
    {ControlKind::CheckBox,
     u"选择框_复制时遇到同名文件则保留2份文件",
     u"分组框1",
     u"复制时遇到同名文件则保留2份文件",
     {427, 80, 208, 20},
     kChecked},
    {ControlKind::GroupBox, u"分组框_临时提示", nullptr, u"", {408, 104, 312, 112}, kHidden},
    {ControlKind::TransparentLabel,
     u"透明标签_临时提示",
     u"分组框_临时提示",
     u"临时提示",
     {4, 14, 308, 24},
     0},
    {ControlKind::ClickableLabel,
     u"透明标签_关闭设置窗口",
     u"分组框_临时提示",
     u"x",
     {288, 8, 16, 21},
     0},
    {ControlKind::MultiLineEdit,
     u"编辑框_临时输入框",
     u"分组框_临时提示",
     u"",
     {3, 32, 304, 48},
     0},
    {ControlKind::ClickableLabel,
     u"透明标签_临时提示已输入完成",
     u"分组框_临时提示",
     u"--> 我已输入完成 <--",
     {51, 88, 212, 24},
     0},
};

QWidget* MakeListView(QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setColumnCount(5);
  QStringList headers;
  for (const ListColumnSpec& column : kAccountListColumns) {
    headers << QtText(column.header);
  }
  list->setHeaderLabels(headers);
  list->header()->setMinimumSectionSize(0);  // the "uk" column is 5 pixels wide
  for (int i = 0; i < 5; ++i) {
    list->setColumnWidth(i, kAccountListColumns[i].width);
  }
  list->header()->setStretchLastSection(false);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setAllColumnsShowFocus(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setUniformRowHeights(true);
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  return list;
}

QWidget* MakeTreeView(QWidget* parent) {
  auto* tree = new QTreeWidget(parent);
  tree->setColumnCount(1);
  tree->setHeaderHidden(true);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setIconSize(QSize(16, 16));
  // The menu opens on the button going down, so no context menu of Qt's own.
  tree->setContextMenuPolicy(Qt::NoContextMenu);
  return tree;
}

QWidget* MakeControl(const ControlSpec& def, QWidget* parent) {
  const QString text = QtText(def.text);
  const bool checked = (def.flags & kChecked) != 0;
  switch (def.kind) {
    case ControlKind::Button:
      return new QPushButton(text, parent);
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(text, parent);
      box->setChecked(checked);
      return box;
    }
    case ControlKind::Radio: {
      auto* radio = new QRadioButton(text, parent);
      radio->setChecked(checked);
      return radio;
    }
    case ControlKind::Edit:
      return new QLineEdit(text, parent);
    case ControlKind::MultiLineEdit: {
      auto* edit = new QPlainTextEdit(text, parent);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      return edit;
    }
    case ControlKind::GroupBox:
      return new QGroupBox(text, parent);
    case ControlKind::Label:
    case ControlKind::TransparentLabel: {
      // A plain caption takes no mouse input: clicks reach what lies beneath,
      // such as the folder tree under its hint.
      auto* label = new QLabel(parent);
      label->setAttribute(Qt::WA_TransparentForMouseEvents);
      return label;
    }
    case ControlKind::ClickableLabel:
      return new ClickableLabel(parent);
    case ControlKind::ListView:
      return MakeListView(parent);
    case ControlKind::TreeView:
      return MakeTreeView(parent);
  }
  return nullptr;
}

// A parent in the table: the widget and the offset of its design origin from
// the widget's own origin (pages sit below the tabs of the tab control, while
// the design places of their controls count from the tab control's corner).
struct Parent {
  QWidget* widget;
  QPoint designOrigin;
};

// The tab control, able to tell where its pages begin inside it (below the
// tab row, inside the frame) before it has been shown and laid out.
class TabControl : public QTabWidget {
 public:
  using QTabWidget::QTabWidget;

  QPoint PageOrigin() const {
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
  }
};

}  // namespace

std::span<const ControlSpec> MainWindowControlSpecs() {
  return kControls;
}

void BuildMainWindowControls(QWidget* client) {
  QHash<QString, Parent> parents;
  auto* tabs = new TabControl(client);
  tabs->setObjectName(QtText(u"高级选择夹1"));
  tabs->setGeometry(kTabControlPlace);
  const char16_t* pageTokens[3] = {kPage0, kPage1, kPage2};
  for (int i = 0; i < 3; ++i) {
    auto* page = new QWidget;
    page->setObjectName(QtText(pageTokens[i]));
    tabs->addTab(page, QtText(kPageCaptions[i]));
  }
  const QPoint pageOrigin = tabs->PageOrigin();
  for (int i = 0; i < 3; ++i) {
    parents.insert(tabs->widget(i)->objectName(), {tabs->widget(i), pageOrigin});
  }
  parents.insert(QString(), {client, QPoint()});
  QHash<QWidget*, QButtonGroup*> radioGroups;

  for (const ControlSpec& def : kControls) {
    const Parent parent = parents.value(def.parent ? QtText(def.parent) : QString());
    QWidget* control = MakeControl(def, parent.widget);
    if (auto* radio = qobject_cast<QRadioButton*>(control)) {
      // One group per parent: Qt's own sibling rule would also count the radio
      // buttons of nested group boxes, so the four sort buttons on the window
      // would never untick one another.
      QButtonGroup*& group = radioGroups[parent.widget];
      if (group == nullptr) {
        group = new QButtonGroup(parent.widget);
      }
      group->addButton(radio);
    }
    control->setObjectName(QtText(def.name));
    if (auto* label = qobject_cast<QLabel*>(control)) {
      // Shown as written, also when a job later writes a text holding "<".
      label->setTextFormat(Qt::PlainText);
      label->setText(QtText(def.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
    control->setGeometry(def.place.translated(-parent.designOrigin));
    if (def.flags & kHidden) {
      control->setVisible(false);
    }
    if (def.flags & kKeepsNames) {
      control->setProperty(kNotationTextProperty, true);
    }
    if (def.kind == ControlKind::GroupBox) {
      parents.insert(control->objectName(), {control, QPoint()});
    }
  }
}
