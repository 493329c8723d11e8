// The account list file "baiduset.ini": any file loads (or loads no rows);
// the rows loaded are saved and load back the same.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/fuzz_support.h"
#include "ui/account_list.h"
#include "ui/account_list_file.h"

namespace {

std::string RowsText(const std::vector<AccountRow>& rows) {
  std::string all;
  for (const AccountRow& row : rows)
    all += row.number + "|" + row.user + "|" + row.status + "|" + row.cookies + "|" + row.uk + "\n";
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  WriteFuzzFile("baiduset.ini", std::string(reinterpret_cast<const char*>(data), size));
  LoadAccountList();
  const std::string loaded = RowsText(ReadAccountRows());
  if (!SaveAccountList(1))
    FuzzMismatch("the list is saved", loaded, "(save failed)");
  LoadAccountList();
  FuzzCheckEqual("the saved list loads back", loaded, RowsText(ReadAccountRows()));
  return 0;
}
