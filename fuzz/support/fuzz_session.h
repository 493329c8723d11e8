#pragma once
// The account the reply targets work with.

#include "web/account_session.h"

inline AccountSession FuzzSession() {
  return {"fuzzer", "BAIDUID=fuzz; BDUSS=fuzz; STOKEN=fuzz; PANPSC=fuzz", "0123456789abcdef"};
}
