#include "ui/signin/wv2_deferral.h"

#include "ui/signin/wv2_calls.h"

int Wv2Deferral::Complete() {
  return Wv2Call<Wv2Export::wv2_Deferral_Complete>(*this);
}
