#pragma once
// The reactions of the main window's option boxes and the rename job's stop
// button. They read and write the controls through the program's control
// store; a job counts as running while its start button is disabled.
//
// User-interface thread.

#include <string>
#include <string_view>

class QWidget;

// Control names the guards and the keyword panel use.
inline constexpr const char* kKeywordPanelGroup = "分组框_临时提示";
inline constexpr const char* kKeywordPanelPrompt = "透明标签_临时提示";
inline constexpr const char* kKeywordPanelEdit = "编辑框_临时输入框";
inline constexpr const char* kKeywordBoxesGroup = "分组框4";
inline constexpr const char* kStopRenameButton = "按钮_停止改名";

// Handles the click of one of the six guarded boxes (its state is already the
// new one): the keyword-replacement and file-deletion warnings, the prefetch
// and fast-mode guards, and the typed confirmation of the two deletion boxes.
// Any other name does nothing. `owner` owns the prompt (may be null).
void OnOptionBoxClicked(std::string_view boxName, QWidget* owner = nullptr);

// Asks for "del" before `选择框_删除目录` or `选择框_通过正则删除` stays
// ticked; a cancel or any other text unticks the box.
void ConfirmByTypingDel(std::string_view boxName, QWidget* owner = nullptr);

// Which keyword box the panel edits: "删除文件关键词" or "删除目录关键词";
// empty until the panel is first opened.
extern std::string g_keywordPanelMode;

// Fills the panel for the double-clicked keyword box (its mode, prompt and
// text) and shows it; the caller places it. False for another name.
bool FillKeywordPanel(std::string_view keywordBoxName);

// Hides the panel and writes its text back into the keyword box of the mode
// when the prompt carries that mode's marker.
void CloseKeywordPanel();

// Stops the running rename job after a question. In prefetch mode the listing
// cache is ended once every thread of the run has stopped; the start button is
// enabled only after that, and the window keeps handling events meanwhile.
void StopRenameJob();
