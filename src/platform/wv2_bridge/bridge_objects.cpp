#include "platform/wv2_bridge/bridge_objects.h"

#include <limits>
#include <map>

namespace {

std::map<Wv2Handle, std::unique_ptr<BridgeObject>>& Table() {
  static auto* table = new std::map<Wv2Handle, std::unique_ptr<BridgeObject>>;
  return *table;
}

Wv2Handle s_lastHandle = 0;
Wv2Token s_lastToken = 0;

}  // namespace

Wv2Handle BridgeObjects::Add(std::unique_ptr<BridgeObject> object) {
  if (object == nullptr || s_lastHandle == std::numeric_limits<Wv2Handle>::max()) {
    return 0;
  }
  const Wv2Handle handle = ++s_lastHandle;
  Table().emplace(handle, std::move(object));
  return handle;
}

bool BridgeObjects::Release(Wv2Handle handle) {
  auto found = Table().find(handle);
  if (found == Table().end()) {
    return false;
  }
  // Out of the table before it goes, so that whatever its end sets off finds
  // the handle released already.
  std::unique_ptr<BridgeObject> object = std::move(found->second);
  Table().erase(found);
  object.reset();
  return true;
}

BridgeObject* BridgeObjects::FindAny(Wv2Handle handle) {
  auto found = Table().find(handle);
  return found != Table().end() ? found->second.get() : nullptr;
}

Wv2Token NextRegistrationToken() {
  return ++s_lastToken;
}
