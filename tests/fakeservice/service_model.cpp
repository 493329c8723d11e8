#include "fakeservice/service_model.h"

std::optional<FakeReply> ServiceModel::Handle(const RecordedRequest& request) {
  return std::nullopt;
}
