#include "ui/start_up.h"

#include <QApplication>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "foundation/contact_text.h"
#include "foundation/file_system_path.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "foundation/text_search.h"
#include "platform/code_page_codec.h"
#include "platform/curl_support.h"
#include "platform/desktop.h"
#include "ui/global_objects.h"
#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "web/http_request.h"
#include "web/service_config.h"

std::string g_productKey;
std::string g_programVersion;

namespace {

constexpr const char* kCurlNotice =
    "开启了curl访问网络模式，如果出现异常问题，请在netset.ini中将1为改0，关闭此模式后再重启软件。";
constexpr std::int64_t kCurlNoticeTimeoutMs = 30000;
constexpr int kNoticeBox = 64;

// The whole file as bytes; empty when it is missing or unreadable.
std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(FileSystemPathFromText(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Removes every occurrence of `sought` (a search that never matches inside a
// double-byte character).
std::string RemoveAll(std::string text, std::string_view sought) {
  for (int at = FindText(text, sought); at != -1; at = FindText(text, sought, at)) {
    text.erase(static_cast<size_t>(at - 1), sought.size());
  }
  return text;
}

}  // namespace

bool CheckTextConversion() {
  if (CodePageConverterAvailable()) {
    return true;
  }
  constexpr const char* kMessage =
      "Quillmere cannot start: the system cannot convert text of code page 936 "
      "(iconv cannot open its CP936 converter; the C library's gconv modules are missing).";
  std::fprintf(stderr, "%s\n", kMessage);
  ShowTimedMessageBox("Quillmere", kMessage, 0, kBoxIconError);
  return false;
}

bool NetSettingsAskForCurl(std::string_view text) {
  return text.find("\"curl\":\"1\"") != std::string_view::npos;
}

void ApplyNetSettings() {
  g_useCurl = NetSettingsAskForCurl(ReadWholeFile(RunDirectoryPath("netset.ini"))) ? 1 : 0;
  if (g_useCurl == 1) {
    ShowTimedMessageBox("提示：", kCurlNotice, kCurlNoticeTimeoutMs, kNoticeBox);
  }
}

std::string BuildMainWindowCaption(std::string_view caption, std::string_view contact,
                                   std::string_view version) {
  std::string result = std::string(caption) + "  " + std::string(contact);
  if (!HoldsBuiltInServiceNumber(result)) {
    result = RemoveAll(std::move(result), "Tarrowby-");
  }
  return result + "  当前版本：" + std::string(version);
}

void PrepareProgram() {
  // Run directory, program-wide objects, module initialisers.
  RunProgramStartup();
  InitializeCurlOnce();
  LoadServiceConfig();
  g_productKey = kProductKey;
  g_programVersion = kProgramVersion;
  ApplyNetSettings();
  g_contactText = ReadContactText(RunDirectoryPath("联系方式.txt"));
}

int RunProgram() {
  if (!CheckTextConversion()) {
    return 1;
  }
  PrepareProgram();
  // Lives to the process end: the destroy handler ends the process.
  auto* window = new MainWindow;
  InstallMainWindowHandlers(window->Handlers(), window);
  window->OnCreated();
  window->show();
  QApplication::exec();
  // The loop ends through the destroy handler. Should Qt end it another way (a
  // quit request), the process still ends as that handler ends it, so that no
  // static object is destroyed under a worker that still runs.
  window->OnDestroy();
  return 0;
}
