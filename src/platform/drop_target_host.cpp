#include "platform/drop_target_host.h"

#include <atomic>

namespace {

class HeadlessDropTargetHost final : public DropTargetHost {
 public:
  bool AcceptDrops(WindowHandle, DroppedFilesHandler) override { return false; }
  void RefuseDrops(WindowHandle) override {}
};

HeadlessDropTargetHost s_headless;
std::atomic<DropTargetHost*> s_installed{nullptr};

}  // namespace

DropTargetHost& GetDropTargetHost() {
  DropTargetHost* host = s_installed.load();
  return host != nullptr ? *host : s_headless;
}

DropTargetHost* InstallDropTargetHost(DropTargetHost* host) {
  return s_installed.exchange(host);
}
