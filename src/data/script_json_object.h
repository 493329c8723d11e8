#pragma once
// One JSON value held in a private script engine, read and changed by path:
// "user", "a.b[3]", "[0].name", "list[2]['error_code']" (the empty path is the
// whole value; a path may also start with the variable name "da"). Used to pick
// single fields out of service replies and the update manifest, and to build
// the JSON that the account list and the keyword rules are saved as.
//
// Texts are code page 936. JSON text is always decoded as data (strict JSON,
// plus the loose backslashes of files written by older versions), never run as
// code; values go into the engine as values and paths are resolved by the
// object itself, so nothing that reaches this class is evaluated. JSON output
// is standard: a backslash in a value is written as two.
//
// An object and its engine belong to the thread that made them. Copies share
// the engine; GetMember and GetArrayItem make objects with engines of their own.

#include <memory>
#include <string>
#include <vector>

#include "platform/script_control.h"

// What the engine reported about a failed parse.
struct ScriptErrorInfo {
  int Number = 0;
  std::string Source;
  std::string Description;
  std::string HelpFile;
  int HelpContext = 0;
  std::string Text;
  int Line = 0;
  int Column = 0;
};

// Type codes of GetType.
inline constexpr int kJsonTypeNull = 0;  // null, or no value at the path
inline constexpr int kJsonTypeBoolean = 1;
inline constexpr int kJsonTypeNumber = 2;
inline constexpr int kJsonTypeObject = 4;
inline constexpr int kJsonTypeArray = 5;
inline constexpr int kJsonTypeString = 6;
inline constexpr int kJsonTypeOther = 255;

class ScriptJsonObject {
 public:
  ScriptJsonObject();
  ~ScriptJsonObject();
  ScriptJsonObject(const ScriptJsonObject& other);  // shares the engine
  ScriptJsonObject& operator=(const ScriptJsonObject& other);

  // Names the variable "da" and runs Init.
  bool CreateNamed();
  // A fresh engine holding an empty object. False when the engine cannot be
  // made or no name was set; every other operation then fails.
  bool Init();

  // Replaces the value by the JSON text, in a fresh engine. True when the text
  // gives a value other than null. `literal` is accepted for callers that pass
  // it; the text is decoded as JSON either way. The error, when given, is
  // filled from the engine (cleared on success).
  bool Parse(const std::string& jsonText, bool literal = false, ScriptErrorInfo* error = nullptr);
  // The value becomes an empty object.
  bool Clear();
  // The whole value as JSON text.
  std::string ToJsonText();

  // Stores the text at the path (the parent must exist). With json the value
  // is JSON text (empty means {}), merged into an existing object at the path
  // or stored in place of what is there.
  bool SetProperty(const std::string& path, const std::string& value, bool json = false);
  // Stores the JSON text at the path.
  bool SetJson(const std::string& path, const std::string& jsonText);
  // Writes the path in its full form ("da", "da.user", "da[0].name") and tells
  // whether a value other than null is there.
  bool QualifyPath(std::string& path);
  bool Exists(const std::string& path);
  int GetType(const std::string& path = std::string());
  // The value's text (a number or boolean as its text); with json its JSON
  // text. Empty when there is no value.
  std::string GetText(const std::string& path = std::string(), bool json = false);
  // The member names of the object at the path (none for anything else);
  // replaces `names` and returns their number.
  int GetMemberNames(std::vector<std::string>& names, const std::string& path = std::string());
  // The length of the array at the path, 0 for anything else.
  int GetArrayCount(const std::string& path = std::string());
  // A new object holding a copy of the value at the path.
  ScriptJsonObject GetMember(const std::string& path = std::string());
  // Appends (or with atFront puts first) the text, or with json the JSON
  // value, to the array at the path; a path without an array gets a new one.
  bool AddArrayItem(const std::string& value, const std::string& path = std::string(),
                    bool json = false, bool atFront = false);
  ScriptJsonObject GetArrayItem(int index, const std::string& path = std::string());
  // Element `index` (0-based) of the array at the path; without json only a
  // string element gives text.
  std::string GetArrayItemText(int index, const std::string& path = std::string(),
                               bool json = false);
  bool SetArrayItem(int index, const std::string& path, const std::string& value,
                    bool json = false);
  bool RemoveArrayItem(int index, const std::string& path = std::string());
  bool DeleteMember(const std::string& path);
  // Stores the number with up to 13 significant digits.
  bool SetNumber(const std::string& path, double number);
  double GetNumber(const std::string& path = std::string());
  std::string GetJsonAt(const std::string& path = std::string());
  std::shared_ptr<ScriptControl> GetEngine() const { return m_engine; }
  // Lets go of this object's reference to the engine; every operation then
  // fails until Init or CreateNamed.
  void ReleaseEngine() { m_engine.reset(); }
  // The strings, numbers and booleans among the members of the value at the
  // path, as texts (with recursive, also those of nested objects and arrays);
  // replaces `values` and returns their number.
  int GetLeafValues(std::vector<std::string>& values, const std::string& path = std::string(),
                    bool recursive = false);

 private:
  bool ParseWide(const std::u16string& jsonText, ScriptErrorInfo* error);
  bool HasFreshEngine() const;
  bool Keys(const std::string& path, std::u16string& keys);
  ScriptValue Call(const char16_t* function, std::vector<std::u16string> arguments);
  bool CallBool(const char16_t* function, std::vector<std::u16string> arguments);
  std::string CallText(const char16_t* function, std::vector<std::u16string> arguments);
  bool StoreJson(const char16_t* function, std::vector<std::u16string> arguments,
                 size_t jsonArgument);
  int FetchList(int count, std::vector<std::string>& out);
  ScriptJsonObject FromJson(const std::u16string& jsonText);

  std::string m_name;
  std::shared_ptr<ScriptControl> m_engine;
  unsigned long m_callsAtInit = 0;  // the engine's CallCount right after Init
};
