#include "ui/update_manifest.h"

#include <charconv>

#include "data/script_json_object.h"
#include "foundation/date_time.h"
#include "foundation/text_encodings.h"
#include "foundation/url_encoding.h"
#include "ui/start_up.h"
#include "web/http_request.h"
#include "web/service_config.h"

std::string g_updateDownloadUrl;
std::mutex g_updateDownloadUrlLock;

namespace {

// The start-up check calls a version newer only above this difference.
constexpr double kVersionTolerance = 1e-7;

std::string_view SkipLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  return text;
}

std::string UpdateHostUrl(const std::string& path) {
  return "https://" + GetServiceConfig().updateHost + path;
}

}  // namespace

std::string GetUpdateDownloadUrl() {
  std::lock_guard lock(g_updateDownloadUrlLock);
  return g_updateDownloadUrl;
}

void SetUpdateDownloadUrl(const std::string& url) {
  std::lock_guard lock(g_updateDownloadUrlLock);
  g_updateDownloadUrl = url;
}

std::string UpdateManifestUrl() {
  return UpdateHostUrl("/softupdate/tarrowbyupdate.html?" + MakeTimestamp());
}

std::string UpdaterDownloadUrl() {
  return UpdateHostUrl("/softupdate/" + UrlEncodeText(kUpdaterFileName) + "?" + MakeTimestamp());
}

std::vector<ManifestEntry> ReadManifestEntries(std::string_view reply) {
  std::vector<ManifestEntry> entries;
  ScriptJsonObject manifest;
  if (!manifest.CreateNamed() || !manifest.Parse(DecodeUtf8Text(reply))) {
    return entries;
  }
  const int count = manifest.GetArrayCount("data");
  for (int i = 0; i < count; ++i) {
    const std::string at = "data[" + std::to_string(i) + "].";
    entries.push_back({manifest.GetText(at + "softname"), manifest.GetText(at + "version"),
                       manifest.GetText(at + "up_time"), manifest.GetText(at + "version_explain"),
                       manifest.GetText(at + "version_force_update"),
                       manifest.GetText(at + "downurl")});
  }
  return entries;
}

double VersionNumber(std::string_view text) {
  text = SkipLeadingBlanks(text);
  double value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) {
    return 0;
  }
  return value;
}

long long VersionInteger(std::string_view text) {
  text = SkipLeadingBlanks(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
  }
  long long value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) {
    return 0;
  }
  return value;
}

bool ListsNewerVersion(const std::vector<ManifestEntry>& entries, std::string_view productKey,
                       std::string_view runningVersion) {
  const double running = VersionNumber(runningVersion);
  for (const ManifestEntry& entry : entries) {
    if (entry.softname == productKey &&
        VersionNumber(entry.version) - running > kVersionTolerance) {
      return true;
    }
  }
  return false;
}

bool CheckForUpdate(const std::function<void()>& openUpdateWindow) {
  const std::string reply = SendHttpRequest(UpdateManifestUrl());
  if (!ListsNewerVersion(ReadManifestEntries(reply), g_productKey, g_programVersion)) {
    return false;
  }
  openUpdateWindow();
  return true;
}
