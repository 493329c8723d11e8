#pragma once
// The in-memory service behind the emulator: accounts, their remote trees,
// tasks and quota, and the handlers of the service's requests.

#include <optional>

#include "fakeservice/http_exchange.h"

class ServiceModel {
 public:
  // The reply for a request the service knows, nullopt for anything else.
  std::optional<FakeReply> Handle(const RecordedRequest& request);
};
