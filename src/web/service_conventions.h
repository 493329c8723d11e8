#pragma once
// What every request to the cloud-disk service shares: the host and scheme,
// the browser-like header block of the file operations, the two request ids,
// the task query, the mode and sort values read from the main window, the
// cut of a task id and the test for a reply marker. Pure apart from reading the configuration and
// the control store; any thread.

#include <cstddef>
#include <string>
#include <string_view>

// "https://" + the service's web host + pathAndQuery (which starts with "/").
std::string ServiceUrl(std::string_view pathAndQuery);

// The header block of the rename, batch-rename and copy requests: 16 lines
// joined by CR LF (none after the last), "Content-Length: 长度" in line 6.
std::string RequestHeaderTemplate();

// RequestHeaderTemplate with "长度" replaced by the decimal byte count.
std::string FillRequestHeaderTemplate(std::size_t bodyBytes);

// The `logid` of a request, computed afresh for each attempt by the
// program's logid script on the BAIDUID cookie's value (its Base64); empty
// without that cookie.
std::string MakeLogIdFromCookies(std::string_view cookies);

// The task id of an asynchronous file operation: the text between
// `"taskid":` and the next "}"; empty when there is none.
std::string CutTaskId(std::string_view reply);

// Whether `reply` holds `marker` (found with FindText, so never inside a
// double-byte character; ASCII letters without case when ignoreCase).
bool ReplyHolds(std::string_view reply, std::string_view marker, bool ignoreCase = false);

// The task query of a rename or batch rename. It carries the account's
// cookies, so it goes over https like every other request.
std::string RenameTaskQueryUrl(std::string_view taskId);

// The `async` value of rename requests from the mode radios: "0" synchronous,
// else "2" asynchronous, else "1" automatic, else "2".
std::string ReadRenameAsyncMode();

// `order` and `desc` of a listing from the sort radios (time and 1 when none
// is ticked).
struct ListingSortOrder {
  std::string order;
  std::string desc;
};
ListingSortOrder ReadListingSortOrder();

// The "长度" placeholder of RequestHeaderTemplate.
inline constexpr const char* kContentLengthPlaceholder = "长度";

// A rename task's reply once every item of it is done.
inline constexpr const char* kRenameTaskSuccessMarker =
    "\"task_errno\":0,\"status\":\"success\",\"list\":[{";
