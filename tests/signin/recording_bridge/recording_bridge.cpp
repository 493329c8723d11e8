// A WebView2 bridge library for tests: it defines the exports the sign-in
// window calls and one export of every other call shape, logs each call with
// its arguments as one line, and hands out handles from a counter. Tests read
// and steer it through the "recording" functions at the end.

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/wv2_bridge_exports.h"

#define RECORDING_API extern "C" __attribute__((visibility("default")))

namespace {

struct RecordedCookie {
  std::u16string name;
  std::u16string value;
};

struct RecordedRoutine {
  Wv2Routine routine = nullptr;
  std::uint32_t userValue = 0;
};

std::string s_log;
Wv2Handle s_nextHandle = 1;
bool s_failEnvironment = false;
std::vector<std::pair<std::string, std::string>> s_cookieTexts;
std::map<Wv2Handle, RecordedCookie> s_cookies;
std::map<Wv2Handle, RecordedRoutine> s_newWindowRoutines;
std::vector<void*> s_blocks;  // every block handed out, in order
std::set<void*> s_givenBack;
std::string s_text;

void Record(const std::string& line) {
  s_log += line;
  s_log += '\n';
}

std::string N(long long value) {
  return std::to_string(value);
}

// UTF-8 of a UTF-16 text (BMP), "(null)" for none.
std::string Utf8(const char16_t* text) {
  if (text == nullptr) {
    return "(null)";
  }
  std::string out;
  for (; *text != 0; ++text) {
    const unsigned c = *text;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string Utf16(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::string OutState(const void* out) {
  return out == nullptr ? "out=null" : "out=set";
}

// A block for the caller, remembered so that its giving back can be told.
void* HandOut(const void* bytes, std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (size > 0) {
    std::memcpy(block, bytes, size);  // an empty list comes with no bytes at all
  }
  s_blocks.push_back(block);
  return block;
}

Wv2Handle NewHandle() {
  return s_nextHandle++;
}

}  // namespace

RECORDING_API std::int32_t wv2_Global_CreateEnv_Sync(Wv2NativeEnvironmentOptions* options,
                                                     const char16_t* browserFolder,
                                                     const char16_t* userDataFolder,
                                                     Wv2Handle* outHandle) {
  Record("wv2_Global_CreateEnv_Sync [" + Utf8(options->browserArguments) + "] [" +
         Utf8(options->language) + "] [" + Utf8(options->targetVersion) + "] " +
         N(options->value) + " [" + Utf8(browserFolder) + "] [" + Utf8(userDataFolder) + "] " +
         N(*outHandle));
  options->value = 9;
  *outHandle = s_failEnvironment ? 0 : NewHandle();
  return 0;
}

RECORDING_API void wv2_Utility_Mfree(void* block) {
  std::size_t index = 0;
  while (index < s_blocks.size() && s_blocks[index] != block) {
    ++index;
  }
  if (index == s_blocks.size()) {
    Record("wv2_Utility_Mfree unknown");
    return;
  }
  Record("wv2_Utility_Mfree block" + N(static_cast<long long>(index)) +
         (s_givenBack.count(block) != 0 ? " again" : ""));
  if (s_givenBack.insert(block).second) {
    std::free(block);
  }
}

RECORDING_API std::int32_t wv2_Object_Release(Wv2Handle handle) {
  Record("wv2_Object_Release " + N(handle));
  return 1;
}

RECORDING_API std::int32_t wv2_Env_CreateController_Sync(Wv2Handle environment, WindowHandle parent,
                                                         Wv2Handle* outHandle) {
  Record("wv2_Env_CreateController_Sync " + N(environment) + " " + (parent != 0 ? "window" : "0") +
         " " + N(*outHandle));
  *outHandle = NewHandle();
  return 0;
}

RECORDING_API std::int32_t wv2_Controller_SetBounds(Wv2Handle controller, const Wv2Rect* bounds) {
  Record("wv2_Controller_SetBounds " + N(controller) + " " + N(bounds->left) + " " +
         N(bounds->top) + " " + N(bounds->right) + " " + N(bounds->bottom));
  return 0;
}

RECORDING_API std::int32_t wv2_Controller_GetBounds(Wv2Handle controller, Wv2Rect* bounds) {
  Record("wv2_Controller_GetBounds " + N(controller) + " " + N(bounds->left) + " " +
         N(bounds->top) + " " + N(bounds->right) + " " + N(bounds->bottom));
  *bounds = Wv2Rect{1, 2, 3, 4};
  return 0;
}

RECORDING_API std::int32_t wv2_Controller_GetWebview2(Wv2Handle controller, Wv2Handle* outHandle) {
  Record("wv2_Controller_GetWebview2 " + N(controller) + " " + N(*outHandle));
  *outHandle = NewHandle();
  return 0;
}

RECORDING_API std::int32_t wv2_Controller_Close(Wv2Handle controller) {
  Record("wv2_Controller_Close " + N(controller));
  return 1;
}

RECORDING_API std::int32_t wv2_Controller_GetZoomFactor(Wv2Handle controller, double* factor) {
  Record("wv2_Controller_GetZoomFactor " + N(controller) + " " + N(static_cast<long long>(*factor)));
  *factor = 1.25;
  return 0;
}

RECORDING_API std::int32_t wv2_Controller_GetBackgroundColor(Wv2Handle controller,
                                                             std::uint32_t* packed) {
  Record("wv2_Controller_GetBackgroundColor " + N(controller) + " " + N(*packed));
  *packed = 0x04030201u;
  return 0;
}

RECORDING_API std::int32_t wv2_Controller_SetBackgroundColor(Wv2Handle controller,
                                                             std::uint32_t* packed) {
  Record("wv2_Controller_SetBackgroundColor " + N(controller) + " " + N(*packed));
  *packed |= 0xFFu;  // the bridge only knows opaque colours
  return 1;
}

RECORDING_API std::int32_t wv2_Webview_Navigate(Wv2Handle view, const char16_t* address) {
  Record("wv2_Webview_Navigate " + N(view) + " " + Utf8(address));
  return 1;
}

RECORDING_API std::int32_t wv2_Webview_ExecuteScript(Wv2Handle view, const char16_t* script,
                                                     Wv2Routine routine, std::uint32_t userValue) {
  Record("wv2_Webview_ExecuteScript " + N(view) + " " + Utf8(script) + " " +
         (routine != nullptr ? "routine" : "0") + " " + N(userValue));
  return 1;
}

RECORDING_API std::int32_t wv2_Webview_ExecuteScript_Sync(Wv2Handle view, const char16_t* script,
                                                          void** outBytes,
                                                          std::uint32_t* outByteCount) {
  Record("wv2_Webview_ExecuteScript_Sync " + N(view) + " " + Utf8(script) + " " +
         OutState(*outBytes) + " " + N(*outByteCount));
  const char16_t result[] = u"\"ok\"";
  *outBytes = HandOut(result, sizeof(result));
  *outByteCount = sizeof(result);
  return 0;
}

RECORDING_API std::int32_t wv2_Webview_CapturePreview_Sync(Wv2Handle view, std::int32_t format,
                                                           void** outBytes,
                                                           std::uint32_t* outByteCount) {
  Record("wv2_Webview_CapturePreview_Sync " + N(view) + " " + N(format));
  const unsigned char image[] = {0x89, 'P', 'N', 'G', 0, 0, 0, 0};
  *outBytes = HandOut(image, sizeof(image));
  *outByteCount = 5;  // the block is longer than what it holds
  return 0;
}

RECORDING_API std::int64_t wv2_Webview_Attach_NewWindowRequest(Wv2Handle view, Wv2Routine routine,
                                                               std::uint32_t userValue) {
  Record("wv2_Webview_Attach_NewWindowRequest " + N(view) + " " +
         (routine != nullptr ? "routine" : "0") + " " + N(userValue));
  s_newWindowRoutines[view] = {routine, userValue};
  return static_cast<std::int64_t>(0x0000000700000005LL);
}

RECORDING_API std::int32_t wv2_Webview_Detach_NewWindowRequest(Wv2Handle view, std::uint32_t low,
                                                               std::uint32_t high) {
  Record("wv2_Webview_Detach_NewWindowRequest " + N(view) + " " + N(low) + " " + N(high));
  return 1;
}

RECORDING_API std::int64_t wv2_Webview_Attach_FaviconChanged(Wv2Handle view, Wv2Routine routine,
                                                             std::uint32_t userValue) {
  Record("wv2_Webview_Attach_FaviconChanged " + N(view) + " " + N(userValue));
  return -2;  // both halves all ones but the lowest bit of the low one
}

RECORDING_API std::int32_t wv2_Webview_Detach_FaviconChanged(Wv2Handle view, std::uint32_t low,
                                                             std::uint32_t high) {
  Record("wv2_Webview_Detach_FaviconChanged " + N(view) + " " + N(low) + " " + N(high));
  return 1;
}

RECORDING_API std::int32_t wv2_Webview_GetCookieManager(Wv2Handle view, Wv2Handle* outHandle) {
  Record("wv2_Webview_GetCookieManager " + N(view) + " " + N(*outHandle));
  *outHandle = NewHandle();
  return 0;
}

RECORDING_API std::int32_t wv2_Webview_NewWindowRequestArgs_SetNewWindow(Wv2Handle args,
                                                                         Wv2Handle view) {
  Record("wv2_Webview_NewWindowRequestArgs_SetNewWindow " + N(args) + " " + N(view));
  return 1;
}

RECORDING_API std::int32_t wv2_Webview_NewWindowRequestArgs_GetFeatures(Wv2Handle args,
                                                                        Wv2WindowFeatures* record) {
  bool zeroed = true;
  const auto* bytes = reinterpret_cast<const unsigned char*>(record);
  for (std::size_t i = 0; i < sizeof(*record); ++i) {
    zeroed = zeroed && bytes[i] == 0;
  }
  Record("wv2_Webview_NewWindowRequestArgs_GetFeatures " + N(args) +
         (zeroed ? " zeroed" : " dirty"));
  record->width = 640;
  record->height = 480;
  return 1;
}

RECORDING_API std::int32_t wv2_CookieManager_GetCookie_Sync(Wv2Handle manager,
                                                            const char16_t* address,
                                                            void** outBlock,
                                                            std::uint32_t* outCount) {
  Record("wv2_CookieManager_GetCookie_Sync " + N(manager) + " " + Utf8(address) + " " +
         OutState(*outBlock) + " " + N(*outCount));
  std::vector<Wv2Handle> handles;
  for (const auto& [name, value] : s_cookieTexts) {
    const Wv2Handle handle = NewHandle();
    s_cookies[handle] = {Utf16(name), Utf16(value)};
    handles.push_back(handle);
  }
  *outBlock = HandOut(handles.data(), handles.size() * sizeof(Wv2Handle));
  *outCount = static_cast<std::uint32_t>(handles.size());
  return 0;
}

// The cookie's texts stay owned by the cookie; the count includes the
// terminator.
RECORDING_API std::int32_t wv2_CookieData_GetName(Wv2Handle cookie, void** outBytes,
                                                  std::uint32_t* outByteCount) {
  Record("wv2_CookieData_GetName " + N(cookie) + " " + OutState(*outBytes) + " " +
         N(*outByteCount));
  const std::u16string& name = s_cookies[cookie].name;
  *outBytes = const_cast<char16_t*>(name.c_str());
  *outByteCount = static_cast<std::uint32_t>((name.size() + 1) * sizeof(char16_t));
  return 0;
}

RECORDING_API std::int32_t wv2_CookieData_GetValue(Wv2Handle cookie, void** outBytes,
                                                   std::uint32_t* outByteCount) {
  Record("wv2_CookieData_GetValue " + N(cookie));
  const std::u16string& value = s_cookies[cookie].value;
  *outBytes = const_cast<char16_t*>(value.c_str());
  *outByteCount = static_cast<std::uint32_t>((value.size() + 1) * sizeof(char16_t));
  return 0;
}

RECORDING_API double wv2_CookieData_GetExpires(Wv2Handle cookie) {
  Record("wv2_CookieData_GetExpires " + N(cookie));
  return 1700000000.5;
}

RECORDING_API std::int32_t wv2_MenuItem_GetType(Wv2Handle item) {
  Record("wv2_MenuItem_GetType " + N(item));
  return 2;
}

RECORDING_API std::int32_t wv2_MenuItem_Enabled_Attr(Wv2Handle item, std::int32_t read,
                                                     std::int32_t value) {
  Record("wv2_MenuItem_Enabled_Attr " + N(item) + " " + N(read) + " " + N(value));
  return 7;
}

RECORDING_API std::int32_t wv2_Deferral_Complete(Wv2Handle deferral) {
  Record("wv2_Deferral_Complete " + N(deferral));
  return 1;
}

// Two headers whose texts live inside the block.
RECORDING_API std::int32_t wv2_Webview_HTTPRequestHeader_GetHeaders(Wv2Handle headers,
                                                                     const char16_t* name,
                                                                     void** outBlock,
                                                                     std::uint32_t* outCount) {
  Record("wv2_Webview_HTTPRequestHeader_GetHeaders " + N(headers) + " " + Utf8(name) + " " +
         OutState(*outBlock) + " " + N(*outCount));
  const std::u16string texts[4] = {u"Accept", u"text/html", u"Accept", u"*/*"};
  std::size_t size = 2 * sizeof(Wv2HeaderEntry);
  for (const auto& text : texts) {
    size += (text.size() + 1) * sizeof(char16_t);
  }
  std::vector<unsigned char> bytes(size);
  void* block = HandOut(bytes.data(), size);
  auto* entries = static_cast<Wv2HeaderEntry*>(block);
  auto* cursor = reinterpret_cast<char16_t*>(entries + 2);
  for (int i = 0; i < 4; ++i) {
    std::memcpy(cursor, texts[i].c_str(), (texts[i].size() + 1) * sizeof(char16_t));
    (i % 2 == 0 ? entries[i / 2].name : entries[i / 2].value) = cursor;
    cursor += texts[i].size() + 1;
  }
  *outBlock = block;
  *outCount = 2;
  return 0;
}

// What the tests read and steer.

RECORDING_API const char* recordingLog() {
  s_text = s_log;
  return s_text.c_str();
}

RECORDING_API void recordingClear() {
  s_log.clear();
}

// The cookies the next GetCookie_Sync lists: "name=value" pairs joined by ";".
RECORDING_API void recordingSetCookies(const char* text) {
  s_cookieTexts.clear();
  std::string rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find(';');
    const std::string pair = rest.substr(0, end);
    const std::size_t equals = pair.find('=');
    if (equals != std::string::npos) {
      s_cookieTexts.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
    }
    rest = end == std::string::npos ? "" : rest.substr(end + 1);
  }
}

RECORDING_API void recordingFailEnvironment(int fail) {
  s_failEnvironment = fail != 0;
}

// Raises the new-window request of `view` as the page would, with a new
// arguments handle; the routine's result, or -1 when none is attached.
RECORDING_API std::int32_t recordingRequestNewWindow(Wv2Handle view) {
  const auto found = s_newWindowRoutines.find(view);
  if (found == s_newWindowRoutines.end() || found->second.routine == nullptr) {
    return -1;
  }
  const Wv2Handle args = NewHandle();
  Record("new window request " + N(view) + " " + N(args));
  return found->second.routine(view, args, found->second.userValue);
}
