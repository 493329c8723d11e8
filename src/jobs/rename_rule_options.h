#pragma once
// The rename-rule options of the main window as one value, and the names of
// the controls they come from.
//
// The rules read their options at every call, so a change during a run takes
// effect from the next name on; ReadRenameRuleOptions is that read.

#include <string>

class ControlStore;

inline constexpr const char* kExcludeRuleBox = "选择框_不包含关键词才修改";
inline constexpr const char* kExcludeKeywordsEdit = "编辑框_不包含的关键词";
inline constexpr const char* kIncludeRuleBox = "选择框_包含关键词才修改";
inline constexpr const char* kIncludeKeywordsEdit = "编辑框_包含关键词才修改";
inline constexpr const char* kReplaceRuleBox = "选择框_关键词替换";
inline constexpr const char* kPrefixRuleBox = "选择框_增加前缀";
inline constexpr const char* kPrefixEdit = "编辑框_增加前缀内容";
inline constexpr const char* kNumberPrefixRuleBox = "选择框_自动增加数字序号前缀";
inline constexpr const char* kNumberPrefixEdit = "编辑框_自动增加数字序号前缀";
inline constexpr const char* kSuffixRuleBox = "选择框_增加后缀";
inline constexpr const char* kSuffixEdit = "编辑框_增加后缀内容";
inline constexpr const char* kNewExtensionRuleBox = "选择框_修改扩展名";
inline constexpr const char* kNewExtensionEdit = "编辑框_修改扩展名内容";
inline constexpr const char* kChineseDeletionRuleBox = "选择框_删除包含的随机中文汉字";
inline constexpr const char* kChineseDeletionCountEdit = "编辑框_汉字删除数量";
inline constexpr const char* kRegexDeletionRuleBox = "选择框_通过正则删除";
inline constexpr const char* kRegexDeletionEdit = "编辑框_通过正则删除";

// One reading of the rule boxes and their edit boxes (code page 936 texts).
struct RenameRuleOptions {
  bool excludeOn = false;
  std::string excludeKeywords;  // comma-separated
  bool includeOn = false;
  std::string includeKeywords;  // comma-separated
  bool replaceOn = false;       // the lists come from keyword_replacement_lists.h
  bool prefixOn = false;
  std::string prefix;
  bool numberPrefixOn = false;
  std::string numberPrefixStart;  // its length sets the width; empty means "000"
  bool suffixOn = false;
  std::string suffix;
  bool newExtensionOn = false;
  std::string newExtension;  // without the dot
  bool chineseDeletionOn = false;
  std::string chineseDeletionCount;  // an edit box text; its integer value counts
  bool regexDeletionOn = false;
  std::string regexPattern;
};

// The options as the store holds them now. Any thread.
RenameRuleOptions ReadRenameRuleOptions(const ControlStore& store);

// The integer value of an edit box text: the decimal number it begins with
// after optional spaces and a sign, 0 when it begins with none; limited to the
// range of int.
int EditBoxInteger(const std::string& text);
