#pragma once
// Settings files of the main window's options: the states of its radio
// buttons ("单选框..."), check boxes ("选择框...") and edit boxes ("编辑框...")
// saved to an initialisation file and loaded back. Controls are found by the
// prefix of their names, so an option control added to the main window under
// such a name is saved and loaded without further code.
//
// File layout (code page 936, platform/private_profile.h):
//   [单选框] name=真 or 假      [选择框] name=真 or 假
//   [编辑框] name=text, every line break written as "><br><" and then every
//            double quote as "#引号", so that a value never spans lines.
// `编辑框_百度cookies` (pasted account cookies) is never saved.
//
// Paths are code page 936 texts. Everything runs on the user-interface thread
// (SaveFormSettings and LoadFormSettings show dialogs).

#include <string>
#include <vector>

#include "platform/control_store.h"

class ProfileFile;

// A window's controls as the settings files see them: the store that holds
// their states and their names in the window's control order.
struct FormWindow {
  ControlStore& store;
  const std::vector<std::string>& controlNames;  // fixed for the window, outlives it
};

// The main window's controls (MainWindowControlSpecs), over `store`.
FormWindow MainFormWindow(ControlStore& store);

// False when one "|"-separated entry of `exclusions` is exactly `name`.
bool IsControlNotExcluded(const std::string& exclusions, const std::string& name);

// Run directory + "/data/setsoft.ini"; creates the folder "data" when missing.
std::string DefaultFormSettingsPath();

// An edit text as it is stored, and back.
std::string EncodeEditText(const std::string& text);
std::string DecodeEditText(const std::string& value);

// The writers: write every control with the prefix that the exclusion list
// ("|"-separated names) does not name into the file (the default file when
// `path` is empty), keeping whatever else the file holds. They return the
// number of controls found by the prefix, or -1 when the file cannot be read
// or written (it is then left as it was).
int WriteRadioStates(const FormWindow& window, const std::string& path,
                     const std::string& exclusions);
int WriteCheckStates(const FormWindow& window, const std::string& path,
                     const std::string& exclusions);
int WriteEditTexts(const FormWindow& window, const std::string& path,
                   const std::string& exclusions);

// The readers: apply every non-empty value found for a control with the
// prefix. A tick is set unless the value is exactly "假". They return the
// number of controls found by the prefix.
int ReadRadioStates(const FormWindow& window, const std::string& path);
int ReadCheckStates(const FormWindow& window, const std::string& path);
int ReadEditTexts(const FormWindow& window, const std::string& path);

// The same on a profile already loaded (SaveFormSettings writes all three
// families and then the file once).
enum class FormFamily { kRadio, kCheck, kEdit };
int WriteFormFamily(const FormWindow& window, ProfileFile& file, FormFamily family,
                    const std::string& exclusions);
int ReadFormFamily(const FormWindow& window, const ProfileFile& file, FormFamily family);

// The click handlers of `按钮_保存界面配置` and `按钮_读取配置` on the main
// window's controls.
void SaveFormSettings(ControlStore& mainStore);
void LoadFormSettings(ControlStore& mainStore);
