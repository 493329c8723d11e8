#include "ui/maker_pages.h"

#include "foundation/date_time.h"
#include "foundation/shell_open.h"
#include "ui/start_up.h"
#include "web/service_config.h"

namespace {

std::string OnMakerHost(std::string_view path) {
  return "https://" + GetServiceConfig().updateHost + std::string(path);
}

}  // namespace

std::string PrefetchTutorialUrl() {
  return OnMakerHost("/help/prefetch-mode.html");
}

std::string RegexDeletionTutorialUrl() {
  return OnMakerHost("/help/regex-deletion.html");
}

std::string SoftwarePageUrl() {
  return OnMakerHost("/softupdate/index.html?") + g_productKey + "?rand=" + MakeTimestamp();
}

std::string KeywordHelpPageUrl() {
  return OnMakerHost("/help/keyword-replacement.html");
}

std::string MakerPageUrl(std::string_view controlName) {
  if (controlName == "透明标签10") {
    return PrefetchTutorialUrl();
  }
  if (controlName == "按钮5") {
    return RegexDeletionTutorialUrl();
  }
  if (controlName == "透明标签7") {
    return SoftwarePageUrl();
  }
  return {};
}

void OpenMakerPage(std::string_view controlName) {
  const std::string url = MakerPageUrl(controlName);
  if (!url.empty()) {
    OpenWebPage(url);
  }
}

void OpenKeywordHelpPage() {
  OpenWebPage(KeywordHelpPageUrl());
}
