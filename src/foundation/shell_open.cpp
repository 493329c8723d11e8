#include "foundation/shell_open.h"

#include <string>

#include "foundation/message_box.h"
#include "platform/desktop.h"

namespace {

constexpr int kOpenedAbove = 32;

}  // namespace

int ShellOpen(std::string_view target) {
  const int result = GetDesktop().OpenTarget(target);
  if (result <= kOpenedAbove) {
    // Nothing opened and nothing else tells the user: the address in the box
    // can be selected and copied.
    ShowTimedMessageBox("提示：", std::string(kCannotOpenText) + "\r\n\r\n" + std::string(target),
                        0, kBoxIconInformation);
  }
  return result;
}

int OpenWebPage(std::string_view address) {
  if (address.empty())
    return 0;
  return ShellOpen(address);
}
