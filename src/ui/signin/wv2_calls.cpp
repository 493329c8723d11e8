#include "ui/signin/wv2_calls.h"

namespace {

// True when the bytes hold a NUL code unit at an even offset.
bool HoldsTerminator(const std::string& utf16) {
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    if (utf16[i] == '\0' && utf16[i + 1] == '\0') {
      return true;
    }
  }
  return false;
}

}  // namespace

Wv2TextArgument::Wv2TextArgument(const std::string& utf16) {
  if (utf16.empty()) {
    return;
  }
  if (HoldsTerminator(utf16)) {
    m_text = reinterpret_cast<const char16_t*>(utf16.data());
    return;
  }
  // An odd last byte is no code unit of its own.
  m_copy.assign(utf16, 0, utf16.size() & ~static_cast<std::size_t>(1));
  m_copy.append(2, '\0');
  m_text = reinterpret_cast<const char16_t*>(m_copy.data());
}

void Wv2GiveBack(void* block) {
  if (block == nullptr) {
    return;
  }
  if (auto* giveBack = Wv2Bound<Wv2Export::wv2_Utility_Mfree>()) {
    giveBack(block);
  }
}
