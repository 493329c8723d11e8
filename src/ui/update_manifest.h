#pragma once
// The maker's update manifest and the start-up update check.
//
// The manifest is UTF-8 JSON on the update host (GetServiceConfig().updateHost,
// over https): {"data":[{"softname":..., "version":..., "up_time":...,
// "version_explain":..., "version_force_update":..., "downurl":...}, ...]},
// one entry per product of the maker; the entry of this program is the one
// whose "softname" is g_productKey. Everything is read as text (code page
// 936) and the manifest is parsed as JSON, never run.
//
// Versions are numbers in text form, read without regard to the locale: as a
// number "11210.5" is 11210.5, as an integer 11210; a text that is no number
// is 0.
//
// Any thread (each call makes its own script engine).

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The manual-download address of the newest version ("downurl" with every
// "[rand]" replaced); empty until the update window has found this product's
// entry. Read and written under g_updateDownloadUrlLock; use the two
// routines below.
extern std::string g_updateDownloadUrl;
extern std::mutex g_updateDownloadUrlLock;
std::string GetUpdateDownloadUrl();
void SetUpdateDownloadUrl(const std::string& url);

// The updater's file name and the name of the hand-off file it reads.
inline constexpr const char* kUpdaterFileName = "自动升级程序.exe";
inline constexpr const char* kUpdaterHandoffFileName = "updateset.ini";

struct ManifestEntry {
  std::string softname;
  std::string version;
  std::string upTime;
  std::string explain;
  std::string forceUpdate;
  std::string downurl;
};

// "https://" + update host + "/softupdate/tarrowbyupdate.html?" + a fresh
// 13-digit stamp.
std::string UpdateManifestUrl();
// The updater's address on the same host, its name percent-encoded as UTF-8,
// with a fresh stamp.
std::string UpdaterDownloadUrl();

// The entries of a manifest reply (UTF-8 bytes) in order; none when the reply
// is no manifest.
std::vector<ManifestEntry> ReadManifestEntries(std::string_view reply);

double VersionNumber(std::string_view text);
long long VersionInteger(std::string_view text);

// True when some entry of this product lists a version greater than
// `runningVersion` by more than 1e-7 (every entry is looked at).
bool ListsNewerVersion(const std::vector<ManifestEntry>& entries, std::string_view productKey,
                       std::string_view runningVersion);

// The start-up check, on a worker thread: requests the manifest once and,
// when it lists a newer version of this product, calls `openUpdateWindow`
// (which has the user-interface thread open the update window and returns
// when it has closed). Nothing is reported otherwise. True when the window
// was asked for.
bool CheckForUpdate(const std::function<void()>& openUpdateWindow);
