#include "foundation/shell_open.h"

#include "platform/desktop.h"

int ShellOpen(std::string_view target) {
  return GetDesktop().OpenTarget(target);
}

int OpenWebPage(std::string_view address) {
  if (address.empty())
    return 0;
  return ShellOpen(address);
}
