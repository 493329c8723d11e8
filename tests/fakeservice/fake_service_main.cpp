// quillmere-fakeservice: the service emulator as a program, so that a person
// can try Quillmere without an account of the real service. Serves the sample
// tree under one account, prints the settings to export and the cookie text
// to paste, logs each request, and runs until interrupted.
//
// Usage: quillmere-fakeservice [--port N] [--numeric-uk] [--tree FILE] [--add PATH]...
//   --numeric-uk: the session page gives "uk" as a bare number and the user
//   name \u-escaped.
//   --tree FILE: the account's tree is the paths listed in FILE (UTF-8, one a
//   line: "/a/" a folder, "/a/x.txt" a file, "/a/x.txt:1024" a file of 1024
//   bytes) instead of the sample tree.
//   --add PATH: one more path of that form; may be given several times.

#include <signal.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "fakeservice/fake_service.h"
#include "fakeservice/starting_trees.h"

namespace {

constexpr int kCertificateDays = 30;
const char* const kUserName = "demo*01";
const char* const kUsage =
    "usage: quillmere-fakeservice [--port N] [--numeric-uk] [--tree FILE] [--add PATH]...\n";

// Adds every line of the file at `path` to `tree`; false when it cannot be read.
bool AddTreeFile(const char* path, RemoteTree& tree) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    tree.AddPathLine(line);
  }
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  FakeServiceOptions options;
  options.certificateDays = kCertificateDays;
  ModelOptions modelOptions;
  const char* treeFile = nullptr;
  std::vector<std::string> added;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
      options.port = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--numeric-uk") == 0) {
      modelOptions.numericUkEscapedName = true;
    } else if (std::strcmp(argv[i], "--tree") == 0 && hasValue) {
      treeFile = argv[++i];
    } else if (std::strcmp(argv[i], "--add") == 0 && hasValue) {
      added.emplace_back(argv[++i]);
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  RemoteTree tree = treeFile != nullptr ? RemoteTree() : SampleTree();
  if (treeFile != nullptr && !AddTreeFile(treeFile, tree)) {
    std::cerr << "quillmere-fakeservice: cannot read " << treeFile << "\n";
    return 2;
  }
  for (const std::string& path : added) {
    tree.AddPathLine(path);
  }
  // Block the stop signals before any thread starts, so that every thread
  // inherits the mask and sigwait below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  FakeService service(options);
  std::string error;
  if (!service.Start(&error)) {
    std::cerr << "quillmere-fakeservice: " << error << "\n";
    return 1;
  }
  service.Model().SetOptions(modelOptions);
  service.Model().AddAccount(FakeAccount::Make(kUserName, std::move(tree)));
  std::mutex printMutex;
  service.SetHook([&printMutex](const RecordedRequest& request) -> std::optional<FakeReply> {
    std::lock_guard lock(printMutex);
    std::cout << request.method << " " << request.target << (request.tls ? "" : " (plain)")
              << std::endl;
    return std::nullopt;
  });

  // The sign-in windows keep the service's hosts apart, as the real service
  // does: named hosts under one parent, which resolve to loopback by themselves.
  const std::string host = service.Host();
  const std::string port = std::to_string(service.Port());
  std::cout << "Service emulator listening on " << service.BaseUrl() << "\n\n"
            << "Start Quillmere with:\n"
            << "  export QUILLMERE_WEB_HOST=pan.quill.localhost:" << port << "\n"
            << "  export QUILLMERE_PASSPORT_HOST=passport.quill.localhost:" << port << "\n"
            << "  export QUILLMERE_PORTAL_HOST=portal.quill.localhost:" << port << "\n"
            << "  export QUILLMERE_UPDATE_HOST=" << host << "\n"
            << "  export QUILLMERE_CA_FILE=" << service.CaFile() << "\n\n"
            << "Cookie text of account " << kUserName << " (send it as the Cookie header):\n"
            << "  " << service.Model().CookieText(kUserName) << "\n\n"
            << "Stop with Ctrl+C. Requests:" << std::endl;

  int received = 0;
  sigwait(&stopSignals, &received);
  service.Stop();
  for (const std::string& failure : service.Failures()) {
    std::cout << "unexpected: " << failure << "\n";
  }
  service.ClearFailures();
  return 0;
}
