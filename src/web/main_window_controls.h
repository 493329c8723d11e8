#pragma once
// Names of the main window's controls that the service requests read and
// write through the control store (platform/control_store.h), exactly as the
// window definitions name them.

// Sort radios of listings, tested in this order.
inline constexpr const char* kSortNameAscRadio = "单选框_按名称正排";
inline constexpr const char* kSortNameDescRadio = "单选框_按名称倒排";
inline constexpr const char* kSortTimeAscRadio = "单选框_按时间正排";
inline constexpr const char* kSortTimeDescRadio = "单选框_按时间倒排";

// Rename mode radios: the `async` value of rename requests.
inline constexpr const char* kRenameSyncRadio = "单选框_修改模式同步";
inline constexpr const char* kRenameAsyncRadio = "单选框_修改模式异步";
inline constexpr const char* kRenameAutoRadio = "单选框_修改模式自动";

// Skip items renamed since start-up.
inline constexpr const char* kSkipRenamedCheckBox =
    "选择框_跳过本次软件启动后已修改成功的文件不修改";

// The daily limit: its switch and its number.
inline constexpr const char* kDailyPauseCheckBox = "选择框_当天暂停";
inline constexpr const char* kDailyLimitEdit = "编辑框_当天修改数量";

// The batch size of the fast apply phase.
inline constexpr const char* kBatchSizeEdit = "编辑框_单次改名提交数量";

// Root listing: refresh button, account list, page control, rename start
// button, hint label over the tree.
inline constexpr const char* kRefreshButton = "按钮1";
inline constexpr const char* kAccountList = "超级列表框_百度帐号列表";
inline constexpr const char* kMainPages = "高级选择夹1";
inline constexpr const char* kStartRenameButton = "按钮_开始改名";
inline constexpr const char* kRefreshHintLabel = "透明标签_刷新提示";

// Panel 2 of the status bar: the batch rename's submission and progress.
inline constexpr int kBatchStatusPanel = 2;
