// The main window's settings file "data/setsoft.ini": any file is read into
// the control store; what the store holds then is written and read back
// unchanged; an edit text comes back from its stored form.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/control_store.h"
#include "support/fuzz_support.h"
#include "ui/form_settings.h"

namespace {

std::string EditTexts(ControlStore& store, const FormWindow& window) {
  std::string all;
  for (const std::string& name : window.controlNames)
    all += name + "=" + store.Text(name) + (store.Checked(name) ? "1" : "0") + "\n";
  return all;
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
  const FormWindow window = MainFormWindow(store);
  WriteFuzzFile("read.ini", parts[0]);
  const std::string readPath = FuzzFilePath("read.ini");
  ReadRadioStates(window, readPath);
  ReadCheckStates(window, readPath);
  ReadEditTexts(window, readPath);
  const std::string before = EditTexts(store, window);
  const std::string writePath = FuzzFilePath("write.ini");
  WriteFuzzFile("write.ini", "");
  WriteRadioStates(window, writePath, "");
  WriteCheckStates(window, writePath, "");
  WriteEditTexts(window, writePath, "");
  ControlStore again;
  const FormWindow second = MainFormWindow(again);
  ReadRadioStates(second, writePath);
  ReadCheckStates(second, writePath);
  ReadEditTexts(second, writePath);
  FuzzCheckEqual("the written settings read back", before, EditTexts(again, second));
  return 0;
}
