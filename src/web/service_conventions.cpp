#include "web/service_conventions.h"

#include "foundation/script_function_runner.h"
#include "foundation/text_search.h"
#include "platform/control_store.h"
#include "web/main_window_controls.h"
#include "web/service_config.h"

std::string ServiceUrl(std::string_view pathAndQuery) {
  return "https://" + GetServiceConfig().webHost + std::string(pathAndQuery);
}

std::string RequestHeaderTemplate() {
  const std::string host = GetServiceConfig().webHost;
  return "Accept: application/json, text/javascript, */*; q=0.01\r\n"
         "Accept-Encoding: deflate, br\r\n"
         "Accept-Language: zh-CN,zh;q=0.9\r\n"
         "Cache-Control: no-cache\r\n"
         "Connection: keep-alive\r\n"
         "Content-Length: " +
         std::string(kContentLengthPlaceholder) +
         "\r\n"
         "Content-Type: application/x-www-form-urlencoded; charset=UTF-8\r\n"
         "Host: " +
         host +
         "\r\n"
         "Origin: https://" +
         host +
         "\r\n"
         "Pragma: no-cache\r\n"
         "Referer: https://" +
         host +
         "/disk/home\r\n"
         "Sec-Fetch-Dest: empty\r\n"
         "Sec-Fetch-Mode: cors\r\n"
         "Sec-Fetch-Site: same-origin\r\n"
         "User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like "
         "Gecko) Chrome/80.0.3987.87 Safari/537.36 SE 2.X MetaSr 1.0\r\n"
         "X-Requested-With: XMLHttpRequest";
}

std::string FillRequestHeaderTemplate(std::size_t bodyBytes) {
  std::string text = RequestHeaderTemplate();
  const std::string placeholder = kContentLengthPlaceholder;
  const size_t at = text.find(placeholder);
  text.replace(at, placeholder.size(), std::to_string(bodyBytes));
  return text;
}

std::string MakeLogIdFromCookies(std::string_view cookies) {
  return ComputeLogId(std::string(cookies));
}

std::string CutTaskId(std::string_view reply) {
  return TextBetweenMarkers(reply, "\"taskid\":", "}");
}

bool ReplyHolds(std::string_view reply, std::string_view marker, bool ignoreCase) {
  return FindText(reply, marker, 1, ignoreCase) != -1;
}

std::string RenameTaskQueryUrl(std::string_view taskId) {
  return ServiceUrl("/share/taskquery?taskid=" + std::string(taskId) +
                    "&clienttype=0&app_id=250528&web=1&dp-logid=");
}

std::string ReadRenameAsyncMode() {
  const ControlStore& store = GetControlStore();
  if (store.Checked(kRenameSyncRadio)) {
    return "0";
  }
  if (store.Checked(kRenameAsyncRadio)) {
    return "2";
  }
  return store.Checked(kRenameAutoRadio) ? "1" : "2";
}

ListingSortOrder ReadListingSortOrder() {
  const ControlStore& store = GetControlStore();
  if (store.Checked(kSortNameAscRadio)) {
    return {"name", "0"};
  }
  if (store.Checked(kSortNameDescRadio)) {
    return {"name", "1"};
  }
  if (store.Checked(kSortTimeAscRadio)) {
    return {"time", "0"};
  }
  return {"time", "1"};
}
