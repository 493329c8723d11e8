#pragma once
// The process-wide binding of the WebView2 bridge library: the library is
// loaded by its full path in the program's folder ("WebView2_Caller.dll", see
// platform/wv2_bridge_exports.h) and every export is bound by name. Loading
// is tried at the first call that needs an export and again at later calls
// while it has not succeeded (the file may be written meanwhile); once loaded
// the library and its table stay for the process. An export the library lacks,
// or any export while the library does not load, is null, and the wrappers
// then behave as without a handle. User-interface thread only.

#include <string>

#include "platform/wv2_bridge_exports.h"

class BridgeObjectHandle;

// Every export, numbered in the order of WV2_EXPORT_LIST.
enum class Wv2Export : int {
#define WV2_EXPORT_ID(name, ...) name,
  WV2_EXPORT_LIST(WV2_EXPORT_ID)
#undef WV2_EXPORT_ID
      kCount
};

// The function type of each export.
template <Wv2Export id>
struct Wv2ExportType;
#define WV2_EXPORT_TYPE(name, ...)               \
  template <>                                    \
  struct Wv2ExportType<Wv2Export::name> {        \
    using Type = __VA_ARGS__;                    \
  };
WV2_EXPORT_LIST(WV2_EXPORT_TYPE)
#undef WV2_EXPORT_TYPE

// The bound export (loading the library when needed), or null.
void* Wv2BridgeExport(Wv2Export id);

template <Wv2Export id>
typename Wv2ExportType<id>::Type* Wv2Bound() {
  return reinterpret_cast<typename Wv2ExportType<id>::Type*>(Wv2BridgeExport(id));
}

// The export's name as the library exports it.
const char* Wv2ExportName(Wv2Export id);

// The full path the library is loaded from: the run directory's file
// "WebView2_Caller.dll" (UTF-8 file-system path).
std::string Wv2BridgePath();

// True once the library has been loaded.
bool Wv2BridgeLoaded();

// With a handle: wv2_Object_Release of it, then the wrapper holds none;
// result the export's result. Without a handle (or without the export): 0.
int ReleaseBridgeObject(BridgeObjectHandle& wrapper);

// Tests: forgets the library and its table, so that the next call loads from
// the run directory of that moment (a library once loaded stays in memory).
void ResetWv2BridgeForTesting();
