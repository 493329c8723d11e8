// The main window's settings file, as its save and load buttons handle it:
// any file is read into the control store; what the store holds then is
// saved and read back unchanged; an edit text comes back from its stored form.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/control_store.h"
#include "platform/private_profile.h"
#include "support/fuzz_support.h"
#include "ui/form_settings.h"

namespace {

constexpr FormFamily kFamilies[] = {FormFamily::kRadio, FormFamily::kCheck, FormFamily::kEdit};

std::string EditTexts(ControlStore& store, const FormWindow& window) {
  std::string all;
  for (const std::string& name : window.controlNames) {
    all += name;
    all += '=';
    all += store.Text(name);
    all += store.Checked(name) ? "1\n" : "0\n";
  }
  return all;
}

// As the settings buttons do: one profile for all three families.
std::string ReadAllFamilies(ControlStore& store, const std::string& path) {
  const FormWindow window = MainFormWindow(store);
  ProfileFile profile;
  profile.Load(path);
  for (FormFamily family : kFamilies)
    ReadFormFamily(window, profile, family);
  return EditTexts(store, window);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  const std::vector<std::string> parts = SplitFuzzInput(data, size, 2);
  // Edit texts hold CR LF line breaks; the stored form spells line breaks
  // and quotes with marks, so a text holding a mark itself is not kept.
  if (parts[1].find("><br><") == std::string::npos && parts[1].find("#引号") == std::string::npos)
    FuzzCheckEqual("an edit text comes back from its stored form", NormalizeToCrLf(parts[1]),
                   DecodeEditText(EncodeEditText(parts[1])));
  ControlStore store;
  WriteFuzzFile("read.ini", parts[0]);
  const std::string before = ReadAllFamilies(store, FuzzFilePath("read.ini"));
  const std::string writePath = FuzzFilePath("write.ini");
  {
    const FormWindow window = MainFormWindow(store);
    ProfileFile written;
    for (FormFamily family : kFamilies)
      WriteFormFamily(window, written, family, "");
    if (!written.Save(writePath))
      FuzzMismatch("the settings are saved", "saved", "not saved");
  }
  ControlStore again;
  FuzzCheckEqual("the written settings read back", before, ReadAllFamilies(again, writePath));
  return 0;
}
