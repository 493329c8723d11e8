// QueryDriveQuota (declared in jobs/copy_request.h): the quota check before a
// copy job.

#include <charconv>

#include "data/script_json_object.h"
#include "foundation/byte_size.h"
#include "foundation/message_box.h"
#include "foundation/random_values.h"
#include "jobs/copy_request.h"
#include "platform/desktop.h"
#include "web/http_request.h"
#include "web/service_conventions.h"

namespace {

constexpr int kQuotaBoxTimeoutMs = 15000;
// used - total at or above this counts as a full drive.
constexpr double kFullTolerance = -1e-7;

double NumberOf(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

bool QueryDriveQuota(const std::string& cookies, DriveQuota& quota, int& full) {
  ScriptJsonObject object;
  object.CreateNamed();
  std::string cookieCopy = cookies;
  const std::string reply = SendHttpRequest(
      ServiceUrl("/api/quota?clienttype=0&app_id=250528&web=1&dp-logid=" + MakeRandomLogId()),
      {.cookies = &cookieCopy});
  if (ReplyHolds(reply, "errno\":-6,\"")) {
    ShowTimedMessageBox("提示：", "查询网盘容量时：cookies已失效，请重新登陆后操作。",
                        kQuotaBoxTimeoutMs, kBoxIconInformation);
    return false;
  }
  object.Parse(reply);
  quota.totalBytes = object.GetText("total");
  quota.usedBytes = object.GetText("used");
  if (quota.totalBytes.empty()) {
    ShowTimedMessageBox("提示：", "查询网盘容量时：查询失败，请重试。", kQuotaBoxTimeoutMs,
                        kBoxIconInformation);
    return false;
  }
  quota.totalSize = FormatByteSize(quota.totalBytes);
  quota.usedSize = FormatByteSize(quota.usedBytes);
  if (NumberOf(quota.usedBytes) - NumberOf(quota.totalBytes) >= kFullTolerance) {
    full = 1;
  }
  return true;
}
