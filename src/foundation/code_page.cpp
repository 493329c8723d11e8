#include "foundation/code_page.h"

#include <sys/utsname.h>

#include <charconv>
#include <string_view>

int32_t g_codePage = 936;
int32_t g_osVersion = 0;

namespace {

// Parses the leading decimal number of `text` and moves past it and one
// following separator. Returns false when `text` does not start with a digit.
bool TakeNumber(std::string_view& text, uint32_t& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc())
    return false;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  if (!text.empty())
    text.remove_prefix(1);
  return true;
}

}  // namespace

void InitUtilityModule() {
  g_codePage = 936;
  ReadOsVersion();
  NoOpInit();
}

void ReadOsVersion() {
  int32_t major = 0;
  int32_t minor = 0;
  uint16_t build = 0;
  if (QueryOsVersionFromPeb(major, minor, build))
    g_osVersion = PackOsVersion(major, minor);
}

// Linux has no process environment block with a system version. The closest
// true answer is the running kernel's release ("6.1.0-18-amd64" gives major 6,
// minor 1, build 0), read with uname(). Callers use the packed value only to
// decide about desktop features (a message filter for dropped files) that
// Linux does not have, so the kernel's numbers stand in without harm.
bool QueryOsVersionFromPeb(int32_t& major, int32_t& minor, uint16_t& build) {
  utsname info{};
  if (uname(&info) != 0)
    return false;
  std::string_view release(info.release);
  uint32_t parts[3] = {0, 0, 0};
  if (!TakeNumber(release, parts[0]) || !TakeNumber(release, parts[1]))
    return false;
  TakeNumber(release, parts[2]);  // a release without a patch level has build 0
  major = static_cast<int32_t>(parts[0]);
  minor = static_cast<int32_t>(parts[1]);
  build = static_cast<uint16_t>(parts[2]);
  return true;
}

int32_t PackOsVersion(int32_t major, int32_t minor) {
  return ((major & 0xFF) << 8) | (minor & 0xFF);
}

void NoOpInit() {}
