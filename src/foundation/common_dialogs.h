#pragma once
// CommonDialogs: the open, save, open-several and font dialogs the windows use
// to save and load control states and to import keyword files, and an
// auto-answer that makes the process's wide-character open dialog answer
// itself with a preset path.
//
// The dialogs go through the installed FileDialogs (platform/file_dialogs.h);
// they are modal and run on the user-interface thread. Texts are code page 936.
// A filter is "description|patterns|description|patterns...", for example
// "文本文件|*.txt". Every argument is optional: absent texts are empty, absent
// flags off. A "\" between the levels of an initial folder reaches the dialog
// as "/".

#include <cstdint>
#include <string>

#include "platform/file_dialogs.h"

// The result of CommonDialogs::ChooseFont; a cancelled dialog gives the
// defaults below.
struct FontRecord {
  int angle = 0;  // escapement in tenths of a degree
  bool bold = false;
  bool italic = false;
  bool strikeout = false;
  bool underline = false;
  int size = 9;  // points
  std::string faceName = "宋体";
};

// Flag bits the wide open dialog carries (the values its callers know).
inline constexpr std::uint32_t kOfnEnableHook = 0x20;
inline constexpr std::uint32_t kOfnExplorer = 0x80000;

class CommonDialogs {
 public:
  CommonDialogs() = default;
  // Removes the auto-answer when it is still installed: it answers through
  // this object, which must not outlive it.
  ~CommonDialogs();
  CommonDialogs(const CommonDialogs& other);
  CommonDialogs& operator=(const CommonDialogs&) = delete;

  // The chosen path, or the empty text when cancelled. The initial file name
  // is cut to 254 bytes.
  std::string OpenFile(bool preview = false, const std::string& title = {},
                       const std::string& initialFile = {}, const std::string& filter = {},
                       const std::string& initialFolder = {},
                       const std::string& defaultExtension = {}, bool createPrompt = false,
                       bool fileMustExist = false, bool pathMustExist = false,
                       bool keepCurrentFolder = false);
  std::string SaveFile(bool preview = false, const std::string& title = {},
                       const std::string& initialFile = {}, const std::string& filter = {},
                       const std::string& initialFolder = {},
                       const std::string& defaultExtension = {}, bool overwritePrompt = false,
                       bool pathMustExist = false, bool keepCurrentFolder = false);
  // The chosen paths joined by CR LF (no line break after the last), or the
  // empty text.
  std::string OpenFiles(bool preview = false, const std::string& title = {},
                        const std::string& filter = {}, const std::string& initialFolder = {});
  // `confirmed`, when given, tells whether the user confirmed. The face name is
  // cut to 31 bytes. The colour the user picks is not returned.
  FontRecord ChooseFont(const std::string& faceName = {}, int size = 0, std::uint32_t colour = 0,
                        bool bold = false, bool italic = false, bool strikeout = false,
                        bool underline = false, bool* confirmed = nullptr);

  // The auto-answer. While installed, every call of the process's wide open
  // dialog (GetOpenFileNameWide) is answered with the preset path, as if the
  // user had chosen it, without showing anything.
  bool InstallAutoAnswer();
  void RemoveAutoAnswer();
  // The answerer while installed: marks the request as hooked and lets
  // AutoAnswerHook finish it. True (the dialog's "chosen" result).
  bool PatchedGetOpenFileName(WideOpenFileName& dialog);
  // Puts the preset path into the dialog's file when it is not empty and fits
  // (terminator included) into `maxFileChars`; then ends the dialog with
  // result 1.
  int AutoAnswerHook(WideOpenFileName& dialog);
  // The preset path as UTF-16LE bytes; a trailing zero code unit is dropped.
  void SetAutoAnswerPath(const std::string& utf16Bytes);

  bool IsAutoAnswerInstalled() const { return m_autoAnswerInstalled; }

 private:
  std::u16string m_presetPath;
  bool m_autoAnswerInstalled = false;
  WideOpenAnswerer m_previousAnswerer;
};

// Internal, shared with the tests: "desc|patterns|desc|patterns" to filters;
// a description without patterns is dropped.
std::vector<FileDialogFilter> ParseDialogFilter(const std::string& filter);
