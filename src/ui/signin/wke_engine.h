#pragma once
// WkeEngine: the process-wide binding of the browser engine library. The
// library is looked for in the program's folder under four names, loaded by
// its full path, initialised once and bound by name into a table of function
// pointers (the names in platform/wke_export_list.h). Nothing here runs
// until the first browser control is created. User-interface thread only.

#include <string>

#include "platform/wke_api.h"

// Slots of the export table, in binding order.
enum WkeExportId : int {
#define WKE_EXPORT_ID(name) kWke_##name,
  WKE_EXPORT_LIST(WKE_EXPORT_ID, WKE_EXPORT_ID)
#undef WKE_EXPORT_ID
      kWkeExportCount
};

// The export table: null where the library lacks the export.
extern void* g_wkeExports[kWkeExportCount];

// The bound export `id` as a function of type Fn (null when missing).
template <typename Fn>
Fn WkeExport(WkeExportId id) {
  return reinterpret_cast<Fn>(g_wkeExports[id]);
}

// The four file names, in search order.
inline constexpr const char* kWkeLibraryNames[4] = {
    "miniblink_4975_x32.dll", "miniblink_4957_x32.dll", "miniblink_4949_x32.dll", "node.dll"};

class WkeEngine {
 public:
  // True when the engine may be used: the library was found, loaded, and
  // exports wkeInitializeEx and every export the browser control calls. The
  // search runs again at every call while no file is found (the user sees the
  // message each time); loading and binding run once per process.
  static bool EnsureReady();
  // Searches the program's folder ("…/lib/" is searched as its parent) and
  // stores the first existing candidate's full path; shows the "错误" message
  // and returns false when none exists.
  static bool FindLibrary();
  // Loads the stored path, calls wkeInitializeEx with `settings` and fills the
  // table, showing "wke api not found" (captioned with the name) for each
  // missing export. False when the file does not load.
  static bool BindExports(const WkeEngineSettings& settings);

  // The full path found (UTF-8 file-system path), empty before.
  static std::string LibraryPath();
  // An export of the loaded library outside the list (the engine's own
  // additions such as wkeOnFileChooser); null when missing or not loaded.
  static void* LibraryExport(const char* name);
};

// Tests: the folder searched instead of the executable's (UTF-8, with or
// without a trailing "/"; empty restores the executable's folder).
void SetWkeSearchFolderForTesting(const std::string& folder);
// Tests: forgets the path, the initialisation and the table, so that the next
// creation searches, loads and binds again (a library once loaded stays).
void ResetWkeEngineForTesting();
