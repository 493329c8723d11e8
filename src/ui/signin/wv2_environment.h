#pragma once
// Wv2Environment: a wrapper round an environment of the WebView2 bridge
// library (exports "wv2_Env_"): it makes controllers on a parent window, and
// resource requests, responses and menu items. Without a handle, or when the
// bridge lacks an export, an operation calls nothing and gives 0 or a wrapper
// without a handle. User-interface thread only.

#include <cstdint>
#include <string>

#include "platform/window_handle.h"
#include "ui/signin/wv2_object.h"

class Wv2Controller;
class Wv2MenuItem;
class Wv2ResourceRequest;
class Wv2ResourceResponse;

// The options of a controller: a profile name (UTF-16 with terminator; empty
// for none) and a value the bridge may change, which is copied back after the
// call.
struct Wv2ControllerOptionsRecord {
  std::string profileName;
  std::int32_t value = 0;
};

class Wv2Environment : public Wv2Object<Wv2Environment> {
 public:
  using Wv2Object::Wv2Object;

  // Texts are UTF-16 bytes with their terminator; byte arrays are passed with
  // their length. The completion forms call `routine` with `userValue` later.
  int CreateController(WindowHandle parent, Wv2Routine routine, std::uint32_t userValue);
  Wv2Controller CreateController_Sync(WindowHandle parent);
  int CreateController_Options(WindowHandle parent, Wv2ControllerOptionsRecord& options,
                               Wv2Routine routine, std::uint32_t userValue);
  Wv2Controller CreateController_Options_Sync(WindowHandle parent,
                                              Wv2ControllerOptionsRecord& options);
  Wv2ResourceResponse CreateWebResourceResponse(const std::string& content, int statusCode,
                                                const std::string& reasonPhrase,
                                                const std::string& headers);
  Wv2ResourceRequest CreateWebResourceRequest(const std::string& address,
                                              const std::string& method,
                                              const std::string& postData,
                                              const std::string& headers);
  Wv2MenuItem CreateContextMenuItem(const std::string& label, const std::string& icon, int kind);
};
