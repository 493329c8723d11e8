#pragma once
// Names of the main window's controls that the rename task and the folder
// traversal read and write through the control store, exactly as the window
// definitions name them. The rule boxes and their edit boxes are in
// jobs/rename_rule_options.h, the start button and the page control in
// web/main_window_controls.h.

// Run modes and depth.
inline constexpr const char* kTickedItemsOnlyRadio = "单选框_只修改单选中";
inline constexpr const char* kIncludeSubfoldersRadio = "单选框_选中目录包含子夹";
inline constexpr const char* kNoSubfoldersRadio = "单选框_不修改子目录";
inline constexpr const char* kPrefetchBox = "选择框_启用预读取模式";
inline constexpr const char* kFastModeBox = "选择框_预读取模式下快速替换文件名关键词";

// What is renamed: everything, only folder names, only file names.
inline constexpr const char* kModifyAllRadio = "单选框_修改对象全部修改";
inline constexpr const char* kModifyFoldersOnlyRadio = "单选框_修改对象只修改目录名";
inline constexpr const char* kModifyFilesOnlyRadio = "单选框_修改对象只修改文件名";

// Deletion by keyword.
inline constexpr const char* kDeleteFilesBox = "选择框_删除文件";
inline constexpr const char* kDeleteFilesKeywordsEdit = "编辑框_删除文件关键词";
inline constexpr const char* kDeleteFoldersBox = "选择框_删除目录";
inline constexpr const char* kDeleteFoldersKeywordsEdit = "编辑框_删除目录关键词";

// Loop mode: the switch and the seconds to wait before a restart.
inline constexpr const char* kLoopBox = "选择框_循环执行改名任务";
inline constexpr const char* kLoopWaitEdit = "编辑框_循环改名等待时间";

// The label that opens the rename tutorial.
inline constexpr const char* kRenameTutorialLabel = "透明标签11";

// The pages of `高级选择夹1` the checks switch to.
inline constexpr int kAccountPage = 0;
inline constexpr int kPreconditionsPage = 1;
