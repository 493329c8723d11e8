#include "ui/global_objects.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "data/program_wide_objects.h"
#include "data/sqlite_callback_adapters.h"
#include "foundation/code_page.h"
#include "foundation/never_destroyed.h"
#include "foundation/run_directory.h"
#include "foundation/screen_scaling.h"
#include "jobs/keyword_replacement_lists.h"

namespace {

NeverDestroyed<Wv2Webview> s_wv2Webview;
NeverDestroyed<Wv2Environment> s_wv2Environment;
NeverDestroyed<Wv2Controller> s_wv2Controller;

std::atomic<bool> s_destroyed{false};

void DestroyAtExit() {
  DestroyGlobalObjects();
}

}  // namespace

Wv2Webview& g_wv2Webview = s_wv2Webview.Get();
Wv2Environment& g_wv2Environment = s_wv2Environment.Get();
Wv2Controller& g_wv2Controller = s_wv2Controller.Get();

void CreateGlobalObjects() {
  {
    std::lock_guard<std::recursive_mutex> lock(g_keywordRulesLock);
    g_replaceKeywords.clear();
    g_replacementWords.clear();
    g_specifiedReplacements.clear();
  }
  ResetSharedDataObjects();
  g_wv2Webview.SetHandle(nullptr);
  g_wv2Environment.SetHandle(nullptr);
  g_wv2Controller.SetHandle(nullptr);
  s_destroyed = false;
}

void DestroyGlobalObjects() {
  if (s_destroyed.exchange(true)) {
    return;
  }
  // g_cacheDb: releasing the object closes nothing; an open connection is
  // left to the process end, as a worker may be inside a statement.
  // g_renamedPaths and g_jobQueue: kept whole; a single rename or a pooled
  // listing task may still be running.
  g_keywordEditDropTarget.Unregister();
  g_keywordLabelDropTarget.Unregister();
  // The wrappers release nothing in the bridge.
}

bool RunProgramStartup() {
  bool entered = EnterRunDirectory();
  CreateGlobalObjects();
  std::atexit(&DestroyAtExit);
  ReadScreenDpi();
  InitUtilityModule();
  return entered;
}
