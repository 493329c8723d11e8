#pragma once
// The copy request of the copy job: every path of g_copySources copied into
// one destination folder with one asynchronous file-manager request, the
// service's task followed until it ends, a resubmission that keeps both
// copies when a same-named item blocks the copy and the user asked for that,
// and the outcome counted in the copy counters and written to the copy job's
// result logs ("_复制文件成功_", "_复制文件失败_" + the job's stamp).
//
// Runs on the copy job's worker thread. Every request carries the job's
// account snapshot; every wait runs on the installed clock and ends early
// when the stop flag is set.

#include <string>
#include <vector>

#include "web/account_session.h"

// The copy item templates (one per source, joined without separator) and
// their placeholders.
inline constexpr const char* kCopyItemTemplate =
    "{\"path\":\"[原文件路径]\",\"dest\":\"[复制到目标路径]\",\"newname\":\"[新文件名]\"},";
inline constexpr const char* kCopyKeepBothItemTemplate =
    "{\"path\":\"[原文件路径]\",\"dest\":\"[复制到目标路径]\",\"newname\":\"[新文件名]\","
    "\"ondup\":\"newcopy\"},";

// The service's failed-task state: a copy that ends in it is repeated once.
inline constexpr const char* kCopyFailedTaskMarker =
    "task_errno\":4,\"status\":\"failed\",\"list\":[";

// Result texts.
inline constexpr const char* kCopyDoneResult1 = "文件已完成复制1。";
inline constexpr const char* kCopyDoneResult2 = "文件已完成复制2。";
inline constexpr const char* kCopyKeepBothDoneResult = "复制同名成功";
inline constexpr const char* kCopyStoppedResult = "手动停止复制任务";
inline constexpr const char* kCopyNoDestinationResult = "没有传入复制到的目标目录位置";
inline constexpr const char* kCopyNoTaskResult = "提交复制任务返回";
inline constexpr const char* kCopyBadPathResult = "要复制的路径错误-->";
inline constexpr const char* kCopyMissingResult = "被复制文件不存在-->";
inline constexpr const char* kCopySameNameResult = "复制同名失败111-->";

// The request body: "filelist=" + the percent-encoded JSON list of one item
// per source (double quotes removed from the source, the copy named after the
// source's last path part), the encoded destination spliced in and every
// doubled slash of the encoded text made single.
std::string BuildCopyBody(const std::vector<std::string>& sources,
                          const std::string& encodedDestination, bool keepBoth);

// Copies g_copySources into the folder `encodedDestination` (UTF-8,
// percent-encoded) and returns one of the result texts above, or the last
// reply alone for a failure of no other kind. `stamp` ends the names of the
// result logs. `retryFlag` is 0 on a first call and 1 when the job repeats a
// call whose result asked for it (CopyResultAsksRepeat); such a first call is
// neither counted nor logged, so that each folder's copy is counted once, by
// its final outcome.
std::string CopyIntoFolder(const AccountSession& session, const std::string& encodedDestination,
                           const std::string& stamp, int retryFlag);

// True when `result` is a failure of no named kind whose reply shows the
// service's failed-task state: the job then calls CopyIntoFolder once more
// with retry flag 1.
bool CopyResultAsksRepeat(const std::string& result);

// Raises g_copyFailedCount and appends `entry` to the job's failure log
// ("_复制文件失败_" + stamp) of the session's user.
void BookCopyFailure(const AccountSession& session, const std::string& stamp,
                     const std::string& entry);

// The drive's quota as the service reports it.
struct DriveQuota {
  std::string totalBytes;  // the reply's `total` as text
  std::string usedBytes;   // the reply's `used` as text
  std::string totalSize;   // FormatByteSize of total
  std::string usedSize;    // FormatByteSize of used
};

// Asks the service once for the quota of the account whose cookie text is
// given and returns true when it answered with a total; `full` is then set to
// 1 when the drive is full (used >= total) and otherwise left as the caller
// set it. A reply that says the cookies are no longer valid, or one without a
// total, is reported in a box that closes itself after 15 s, and the function
// returns false with `full` untouched.
bool QueryDriveQuota(const std::string& cookies, DriveQuota& quota, int& full);
