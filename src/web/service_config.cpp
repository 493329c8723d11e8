#include "web/service_config.h"

#include <cstdlib>
#include <mutex>

namespace {

std::mutex s_mutex;
bool s_loaded = false;
ServiceConfig s_config;

void Override(std::string& setting, const char* variable) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] != '\0') {
    setting = value;
  }
}

void LoadLocked() {
  ServiceConfig config = DefaultServiceConfig();
  Override(config.webHost, "QUILLMERE_WEB_HOST");
  Override(config.passportHost, "QUILLMERE_PASSPORT_HOST");
  Override(config.portalHost, "QUILLMERE_PORTAL_HOST");
  Override(config.updateHost, "QUILLMERE_UPDATE_HOST");
  Override(config.caFile, "QUILLMERE_CA_FILE");
  s_config = config;
  s_loaded = true;
}

}  // namespace

ServiceConfig DefaultServiceConfig() {
  ServiceConfig config;
  config.webHost = "pan.baidu.com";
  config.passportHost = "passport.baidu.com";
  config.portalHost = "www.baidu.com";
  // The maker's update host has no public name; the reserved ".invalid" name
  // makes an unconfigured update check fail quietly instead of reaching a
  // stranger's server.
  config.updateHost = "update.quillmere.invalid";
  return config;
}

void LoadServiceConfig() {
  std::lock_guard lock(s_mutex);
  LoadLocked();
}

ServiceConfig GetServiceConfig() {
  std::lock_guard lock(s_mutex);
  if (!s_loaded) {
    LoadLocked();
  }
  return s_config;
}
