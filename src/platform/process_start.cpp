#include "platform/process_start.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

bool StartDetachedProcess(const std::string& path, const std::string& folder) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    return false;
  }
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return false;
  }
  bool ready = posix_spawn_file_actions_addchdir_np(&actions, folder.c_str()) == 0 &&
               posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID) == 0;
  pid_t child = 0;
  std::string program = path;
  char* arguments[] = {program.data(), nullptr};
  // posix_spawn (not posix_spawnp) runs the image with execve and reports a
  // failed exec as its result; there is no fall-back to a shell.
  ready =
      ready && posix_spawn(&child, path.c_str(), &actions, &attributes, arguments, environ) == 0;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (!ready) {
    return false;
  }
  // Reaps the child when it ends, so that it leaves no zombie while this
  // process still runs.
  std::thread([child] { ::waitpid(child, nullptr, 0); }).detach();
  return true;
}
