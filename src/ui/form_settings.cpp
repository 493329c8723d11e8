#include "ui/form_settings.h"

#include <string_view>

#include "foundation/common_dialogs.h"
#include "foundation/date_time.h"
#include "foundation/file_system_path.h"
#include "foundation/files_and_paths.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "platform/code_page_codec.h"
#include "platform/desktop.h"
#include "platform/private_profile.h"
#include "ui/main_window_layout.h"
#include "web/service_text.h"

namespace {

constexpr const char* kLineBreakMark = "><br><";
constexpr const char* kQuoteMark = "#引号";
constexpr const char* kTrue = "真";
constexpr const char* kFalse = "假";
constexpr const char* kCookiesBox = "编辑框_百度cookies";

constexpr const char* kFileFilter = "改名参数界面配置ini文件|*.ini";
constexpr const char* kNoticeCaption = "提示";
constexpr int kNoticeTimeoutMs = 5000;
constexpr int kOverwriteTimeoutMs = 10000;

struct FamilyInfo {
  std::string_view prefix;  // also the section
  bool isEdit;
};

FamilyInfo Info(FormFamily family) {
  switch (family) {
    case FormFamily::kRadio:
      return {"单选框", false};
    case FormFamily::kCheck:
      return {"选择框", false};
    case FormFamily::kEdit:
      break;
  }
  return {"编辑框", true};
}

// The edit boxes a load empties first: every edit box of the main window but
// the pasted cookies.
constexpr const char* kEditBoxesEmptiedByLoad[] = {
    "编辑框_删除目录关键词",   "编辑框_循环改名等待时间", "编辑框_临时输入框",
    "编辑框_删除文件关键词",   "编辑框_当天修改数量",     "编辑框_不包含的关键词",
    "编辑框_包含关键词才修改", "编辑框_通过正则删除",     "编辑框_增加后缀内容",
    "编辑框_增加前缀内容",     "编辑框_汉字删除数量",     "编辑框_自动增加数字序号前缀",
    "编辑框_修改扩展名内容",   "编辑框_复制到目标位置",   "编辑框_被复制对象",
    "编辑框_单次改名提交数量",
};

std::string PathOrDefault(const std::string& path) {
  return FileSystemPathFromText(path.empty() ? DefaultFormSettingsPath() : path);
}

int WriteFamilyToPath(const FormWindow& window, const std::string& path, FormFamily family,
                      const std::string& exclusions) {
  const std::string file = PathOrDefault(path);
  ProfileFile profile;
  if (!profile.Load(file)) {
    return -1;
  }
  const int found = WriteFormFamily(window, profile, family, exclusions);
  return profile.Save(file) ? found : -1;
}

int ReadFamilyFromPath(const FormWindow& window, const std::string& path, FormFamily family) {
  ProfileFile profile;
  profile.Load(PathOrDefault(path));
  return ReadFormFamily(window, profile, family);
}

void Notice(const char* text, int icon) {
  ShowTimedMessageBox(kNoticeCaption, text, kNoticeTimeoutMs, icon);
}

}  // namespace

FormWindow MainFormWindow(ControlStore& store) {
  // The window's controls are fixed: their names are converted once.
  static const std::vector<std::string> names = [] {
    std::vector<std::string> converted;
    for (const ControlSpec& control : MainWindowControlSpecs()) {
      converted.push_back(EncodeFromUtf16(control.name, kCodePageLocal));
    }
    return converted;
  }();
  return FormWindow{store, names};
}

bool IsControlNotExcluded(const std::string& exclusions, const std::string& name) {
  std::string_view rest = exclusions;
  while (!rest.empty()) {
    const std::size_t bar = rest.find('|');
    if (rest.substr(0, bar) == name) {
      return false;
    }
    if (bar == std::string_view::npos) {
      break;
    }
    rest.remove_prefix(bar + 1);
  }
  return true;
}

std::string DefaultFormSettingsPath() {
  const std::string folder = RunDirectoryPath("data");
  if (!DirectoryExists(folder)) {
    CreateDirectoryPath(folder);
  }
  return folder + "/setsoft.ini";
}

std::string EncodeEditText(const std::string& text) {
  // Every line break, whatever its form, so that no value spans lines.
  std::string marked = ReplaceAllText(NormalizeToCrLf(text), "\r\n", kLineBreakMark);
  return ReplaceAllText(marked, "\"", kQuoteMark);
}

std::string DecodeEditText(const std::string& value) {
  return ReplaceAllText(ReplaceAllText(value, kLineBreakMark, "\r\n"), kQuoteMark, "\"");
}

int WriteFormFamily(const FormWindow& window, ProfileFile& file, FormFamily family,
                    const std::string& exclusions) {
  const FamilyInfo info = Info(family);
  int found = 0;
  for (const std::string& name : window.controlNames) {
    if (!name.starts_with(info.prefix)) {
      continue;
    }
    ++found;
    if (!IsControlNotExcluded(exclusions, name)) {
      continue;
    }
    // An edit text is written so that its blanks at the ends come back too.
    const std::string value =
        info.isEdit ? ProfileValueReadingBackExactly(EncodeEditText(window.store.Text(name)))
                    : (window.store.Checked(name) ? kTrue : kFalse);
    file.Write(info.prefix, name, value);
  }
  return found;
}

int ReadFormFamily(const FormWindow& window, const ProfileFile& file, FormFamily family) {
  const FamilyInfo info = Info(family);
  int found = 0;
  for (const std::string& name : window.controlNames) {
    if (!name.starts_with(info.prefix)) {
      continue;
    }
    ++found;
    const std::string value = file.Read(info.prefix, name);
    if (value.empty()) {
      continue;
    }
    if (info.isEdit) {
      window.store.SetText(name, DecodeEditText(value));
    } else {
      window.store.SetChecked(name, value != kFalse);
    }
  }
  return found;
}

int WriteRadioStates(const FormWindow& window, const std::string& path,
                     const std::string& exclusions) {
  return WriteFamilyToPath(window, path, FormFamily::kRadio, exclusions);
}
int WriteCheckStates(const FormWindow& window, const std::string& path,
                     const std::string& exclusions) {
  return WriteFamilyToPath(window, path, FormFamily::kCheck, exclusions);
}
int WriteEditTexts(const FormWindow& window, const std::string& path,
                   const std::string& exclusions) {
  return WriteFamilyToPath(window, path, FormFamily::kEdit, exclusions);
}
int ReadRadioStates(const FormWindow& window, const std::string& path) {
  return ReadFamilyFromPath(window, path, FormFamily::kRadio);
}
int ReadCheckStates(const FormWindow& window, const std::string& path) {
  return ReadFamilyFromPath(window, path, FormFamily::kCheck);
}
int ReadEditTexts(const FormWindow& window, const std::string& path) {
  return ReadFamilyFromPath(window, path, FormFamily::kEdit);
}

void SaveFormSettings(ControlStore& mainStore) {
  const std::string folder = RunDirectoryPath("renset");
  if (!DirectoryExists(folder)) {
    CreateDirectoryPath(folder);
  }
  // The overwrite question is asked below, after ".ini" has been added.
  std::string path =
      CommonDialogs().SaveFile(false, {}, "ren-set-" + FormatDateTime(std::nullopt, 3, 1) + ".ini",
                               kFileFilter, folder, {}, false);
  if (path.empty()) {
    return;
  }
  path = ReplaceAllText(path + ".ini", ".ini.ini", ".ini");
  if (FileExists(path) &&
      ShowTimedMessageBox(kNoticeCaption, "此文件已存在，是否覆盖？", kOverwriteTimeoutMs,
                          kBoxYesNo | kBoxIconWarning) != kBoxResultYes) {
    return;
  }
  const FormWindow window = MainFormWindow(mainStore);
  const std::string file = FileSystemPathFromText(path);
  ProfileFile profile;
  bool saved = profile.Load(file);
  if (saved) {
    WriteFormFamily(window, profile, FormFamily::kRadio, {});
    WriteFormFamily(window, profile, FormFamily::kCheck, {});
    WriteFormFamily(window, profile, FormFamily::kEdit, kCookiesBox);
    saved = profile.Save(file);
  }
  if (saved) {
    Notice("保存成功。", kBoxIconInformation);
  } else {
    Notice("保存失败了。", kBoxIconWarning);
  }
}

void LoadFormSettings(ControlStore& mainStore) {
  const std::string path =
      CommonDialogs().OpenFile(false, {}, {}, kFileFilter, RunDirectoryPath("renset"));
  if (path.empty()) {
    return;
  }
  // Only a file that holds at least one of the three sections is taken for a
  // settings file; anything else changes no control.
  ProfileFile profile;
  const bool isSettingsFile = profile.Load(FileSystemPathFromText(path)) &&
                              (profile.HasSection(Info(FormFamily::kRadio).prefix) ||
                               profile.HasSection(Info(FormFamily::kCheck).prefix) ||
                               profile.HasSection(Info(FormFamily::kEdit).prefix));
  if (!isSettingsFile) {
    Notice("读取失败，不是界面配置文件。", kBoxIconWarning);
    return;
  }
  for (const char* box : kEditBoxesEmptiedByLoad) {
    mainStore.SetText(box, "");
  }
  // Loading sets states and texts only; no control's click handler runs.
  const FormWindow window = MainFormWindow(mainStore);
  ReadFormFamily(window, profile, FormFamily::kRadio);
  ReadFormFamily(window, profile, FormFamily::kCheck);
  ReadFormFamily(window, profile, FormFamily::kEdit);
  Notice("读取成功。", kBoxIconInformation);
}
