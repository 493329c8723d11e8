#include "ui/signin/wv2_environment.h"

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_controller.h"
#include "ui/signin/wv2_menu_item.h"
#include "ui/signin/wv2_resource_request.h"
#include "ui/signin/wv2_resource_response.h"

namespace {

// The native form of the options: the bridge may change `value`, which goes
// back into the caller's record.
class NativeControllerOptions {
 public:
  explicit NativeControllerOptions(Wv2ControllerOptionsRecord& options)
      : m_options(options), m_name(options.profileName) {
    m_native.profileName = m_name;
    m_native.value = options.value;
  }
  ~NativeControllerOptions() { m_options.value = m_native.value; }
  NativeControllerOptions(const NativeControllerOptions&) = delete;
  NativeControllerOptions& operator=(const NativeControllerOptions&) = delete;
  Wv2NativeControllerOptions* Get() { return &m_native; }

 private:
  Wv2ControllerOptionsRecord& m_options;
  Wv2TextArgument m_name;
  Wv2NativeControllerOptions m_native{};
};

}  // namespace

int Wv2Environment::CreateController(WindowHandle parent, Wv2Routine routine,
                                     std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_Env_CreateController>(*this, parent, routine, userValue);
}

Wv2Controller Wv2Environment::CreateController_Sync(WindowHandle parent) {
  return Wv2CallObjectOut<Wv2Controller, Wv2Export::wv2_Env_CreateController_Sync>(*this, parent);
}

int Wv2Environment::CreateController_Options(WindowHandle parent,
                                             Wv2ControllerOptionsRecord& options,
                                             Wv2Routine routine, std::uint32_t userValue) {
  NativeControllerOptions native(options);
  return Wv2Call<Wv2Export::wv2_Env_CreateController_Options>(*this, parent, native.Get(),
                                                               routine, userValue);
}

Wv2Controller Wv2Environment::CreateController_Options_Sync(WindowHandle parent,
                                                            Wv2ControllerOptionsRecord& options) {
  NativeControllerOptions native(options);
  return Wv2CallObjectOut<Wv2Controller, Wv2Export::wv2_Env_CreateController_Options_Sync>(
      *this, parent, native.Get());
}

Wv2ResourceResponse Wv2Environment::CreateWebResourceResponse(const std::string& content,
                                                              int statusCode,
                                                              const std::string& reasonPhrase,
                                                              const std::string& headers) {
  return Wv2CallObjectOut<Wv2ResourceResponse, Wv2Export::wv2_Env_CreateWebResourceResponse>(
      *this, Wv2BytesArgument(content), Wv2CountArgument(content), statusCode,
      Wv2TextArgument(reasonPhrase), Wv2TextArgument(headers));
}

Wv2ResourceRequest Wv2Environment::CreateWebResourceRequest(const std::string& address,
                                                            const std::string& method,
                                                            const std::string& postData,
                                                            const std::string& headers) {
  return Wv2CallObjectOut<Wv2ResourceRequest, Wv2Export::wv2_Env_CreateWebResourceRequest>(
      *this, Wv2TextArgument(address), Wv2TextArgument(method), Wv2BytesArgument(postData),
      Wv2CountArgument(postData), Wv2TextArgument(headers));
}

Wv2MenuItem Wv2Environment::CreateContextMenuItem(const std::string& label,
                                                  const std::string& icon, int kind) {
  return Wv2CallObjectOut<Wv2MenuItem, Wv2Export::wv2_Env_CreateContextMenuItem>(
      *this, Wv2TextArgument(label), Wv2BytesArgument(icon), Wv2CountArgument(icon), kind);
}
