#pragma once
// The control table of the main window: every control's kind, name, parent,
// caption and place, and the builder that turns the table into widgets.
//
// Names are part of the program's interface: the jobs read their options by
// name, and the settings files find the option controls by the prefixes of
// their names. Places are design pixels at 96 DPI; a control inside a group
// box is placed relative to the group box, a control on a page of the tab
// control relative to the tab control itself (tabs included).

#include <QRect>
#include <span>

class QWidget;

enum class ControlKind {
  Button,
  CheckBox,
  Radio,
  Edit,           // single line
  MultiLineEdit,  // multi-line with a vertical scroll bar
  GroupBox,
  Label,
  TransparentLabel,
  ClickableLabel,  // transparent label that reports the left button going down
  ListView,        // the account list: report style, full rows, five columns
  TreeView,        // the remote folder tree: check boxes and item images
};

// Flags of ControlSpec::flags.
inline constexpr int kChecked = 1;  // ticked check box or selected radio button
inline constexpr int kHidden = 2;
// An edit box holding remote paths: every character of a name is kept
// (kNotationTextProperty of ui/control_binding.h).
inline constexpr int kKeepsNames = 4;

// Parent tokens for the three pages of the tab control `高级选择夹1`.
inline constexpr const char16_t* kPage0 = u"高级选择夹1:0";
inline constexpr const char16_t* kPage1 = u"高级选择夹1:1";
inline constexpr const char16_t* kPage2 = u"高级选择夹1:2";

struct ControlSpec {
  ControlKind kind;
  const char16_t* name;
  const char16_t* parent;  // nullptr: the window's client area
  const char16_t* text;    // caption or initial text; \r\n is CR LF
  QRect place;
  int flags;
};

// Every control of the window except the tab control and the status bar, in
// creation order (a parent comes before its children).
std::span<const ControlSpec> MainWindowControlSpecs();

// Design place of the tab control and the captions of its three pages.
inline constexpr QRect kTabControlPlace{8, 8, 312, 520};
inline constexpr const char16_t* kPageCaptions[3] = {u"选择百度帐号", u"改名前提条件",
                                                     u"  批量改名设置  "};

// Account list columns: header and width.
struct ListColumnSpec {
  const char16_t* header;
  int width;
};
inline constexpr ListColumnSpec kAccountListColumns[5] = {
    {u"序", 30}, {u"网盘用户名", 90}, {u"状态", 80}, {u"cookies", 60}, {u"uk", 5}};

// Status bar panels: width and initial text. Panel 0 has its width; panels 1
// and 2 have it at most: panel 2 takes what its text needs and panel 1 the
// rest of the bar.
struct StatusPanelSpec {
  int width;
  const char16_t* text;
};
inline constexpr StatusPanelSpec kStatusPanels[3] = {{80, u" 操作提示："}, {1100, u""}, {200, u""}};

// Creates the tab control and every control of the table inside `client`, with
// its object name, caption, place, tick and visibility. UI thread only.
void BuildMainWindowControls(QWidget* client);
