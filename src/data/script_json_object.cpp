#include "data/script_json_object.h"

#include <charconv>
#include <string_view>

#include "data/script_json_support.h"
#include "platform/code_page_codec.h"

namespace {

// The functions every engine gets. The value lives in the global "da"; every
// operation takes its path as a JSON array of keys and its values as texts, so
// the object never composes code from what it is given.
constexpr char16_t kLibrary[] =
#include "../../resources/script_json_library.js.inc"
    ;
// Its length counted once, by the compiler.
constexpr std::u16string_view kLibraryText = kLibrary;

std::u16string Wide(const std::string& text) {
  return DecodeToUtf16(text, kCodePageLocal);
}
std::string Local(std::u16string_view text) {
  return EncodeFromUtf16(text, kCodePageLocal);
}
const char16_t* Flag(bool on) {
  return on ? u"1" : u"0";
}

std::u16string Decimal(long long value) {
  const std::string text = std::to_string(value);
  return std::u16string(text.begin(), text.end());
}

}  // namespace

ScriptJsonObject::ScriptJsonObject() = default;
ScriptJsonObject::~ScriptJsonObject() = default;
ScriptJsonObject::ScriptJsonObject(const ScriptJsonObject& other) = default;
ScriptJsonObject& ScriptJsonObject::operator=(const ScriptJsonObject& other) = default;

bool ScriptJsonObject::CreateNamed() {
  m_name = "da";
  return Init();
}

bool ScriptJsonObject::Init() {
  m_engine.reset();
  if (m_name.empty())
    return false;
  auto engine = std::make_shared<ScriptControl>();
  engine->SetLanguage(u"JavaScript");
  if (!engine->IsValid() || !engine->AddLibraryCode(kLibraryText))
    return false;
  m_callsAtInit = engine->CallCount();
  m_engine = std::move(engine);
  return true;
}

// An engine that holds nothing but the library, and that nobody else can
// reach: as good as a fresh one, so Parse need not make another.
bool ScriptJsonObject::HasFreshEngine() const {
  return m_engine && m_engine.use_count() == 1 && m_engine->CallCount() == m_callsAtInit;
}

ScriptValue ScriptJsonObject::Call(const char16_t* function,
                                   std::vector<std::u16string> arguments) {
  ScriptValue value;
  if (!m_engine || !m_engine->Run(function, arguments, value))
    return ScriptValue();
  return value;
}

bool ScriptJsonObject::CallBool(const char16_t* function, std::vector<std::u16string> arguments) {
  return Call(function, std::move(arguments)).AsBool();
}

std::string ScriptJsonObject::CallText(const char16_t* function,
                                       std::vector<std::u16string> arguments) {
  return Local(Call(function, std::move(arguments)).AsText());
}

// Runs a setter whose argument `jsonArgument` is JSON text; when the text does
// not decode, tries again with the loose backslashes of older files repaired.
bool ScriptJsonObject::StoreJson(const char16_t* function, std::vector<std::u16string> arguments,
                                 size_t jsonArgument) {
  if (CallBool(function, arguments))
    return true;
  const std::u16string repaired = RepairLooseBackslashes(arguments[jsonArgument]);
  if (repaired == arguments[jsonArgument])
    return false;
  arguments[jsonArgument] = repaired;
  return CallBool(function, std::move(arguments));
}

bool ScriptJsonObject::Keys(const std::string& path, std::u16string& keys) {
  std::optional<std::u16string> parsed = PathKeysJson(path);
  if (!parsed || !m_engine)
    return false;
  keys = std::move(*parsed);
  return true;
}

bool ScriptJsonObject::ParseWide(const std::u16string& jsonText, ScriptErrorInfo* error) {
  if (!m_engine || !(HasFreshEngine() || Init()))
    return false;
  ScriptValue parsed;
  bool ok = m_engine->SetGlobalText(u"json__input", jsonText) &&
            m_engine->Run(u"json__parse", {}, parsed);
  const ScriptError firstError = m_engine->Error();
  if (!ok) {
    const std::u16string repaired = RepairLooseBackslashes(jsonText);
    if (repaired != jsonText)
      ok = m_engine->SetGlobalText(u"json__input", repaired) &&
           m_engine->Run(u"json__parse", {}, parsed);
  }
  if (error != nullptr) {
    const ScriptError& e = ok ? m_engine->Error() : firstError;
    error->Number = e.number;
    error->Source = Local(e.source);
    error->Description = Local(e.description);
    error->HelpFile = Local(e.helpFile);
    error->HelpContext = e.helpContext;
    error->Text = Local(e.text);
    error->Line = e.line;
    error->Column = e.column;
  }
  return ok && parsed.AsBool();
}

bool ScriptJsonObject::Parse(const std::string& jsonText, bool /*literal*/,
                             ScriptErrorInfo* error) {
  return ParseWide(Wide(jsonText), error);
}

bool ScriptJsonObject::Clear() {
  return m_engine && CallBool(u"json__putJson", {u"[]", u"{}"});
}

std::string ScriptJsonObject::ToJsonText() {
  return GetJsonAt(std::string());
}

bool ScriptJsonObject::SetProperty(const std::string& path, const std::string& value, bool json) {
  std::u16string keys;
  if (!Keys(path, keys))
    return false;
  if (!json)
    return CallBool(u"json__setText", {keys, Wide(value)});
  return StoreJson(u"json__setJson", {keys, value.empty() ? u"{}" : Wide(value)}, 1);
}

bool ScriptJsonObject::SetJson(const std::string& path, const std::string& jsonText) {
  std::u16string keys;
  if (!Keys(path, keys))
    return false;
  // Unlike SetProperty with json, the value replaces what is there.
  return StoreJson(u"json__putJson", {keys, Wide(jsonText)}, 1);
}

bool ScriptJsonObject::QualifyPath(std::string& path) {
  const bool qualified =
      path.rfind("da", 0) == 0 && (path.size() == 2 || path[2] == '.' || path[2] == '[');
  if (path.empty())
    path = "da";
  else if (!qualified)
    path = (path.front() == '[' ? "da" : "da.") + path;
  return Exists(path);
}

bool ScriptJsonObject::Exists(const std::string& path) {
  std::u16string keys;
  return Keys(path, keys) && CallBool(u"json__exists", {keys});
}

int ScriptJsonObject::GetType(const std::string& path) {
  std::u16string keys;
  if (!Keys(path, keys))
    return kJsonTypeNull;
  return static_cast<int>(Call(u"json__type", {keys}).AsNumber());
}

std::string ScriptJsonObject::GetText(const std::string& path, bool json) {
  std::u16string keys;
  if (!Keys(path, keys))
    return std::string();
  const std::u16string text = Call(u"json__text", {keys, Flag(json)}).AsText();
  return Local(json ? EscapeInvisibleCharacters(text) : text);
}

int ScriptJsonObject::FetchList(int count, std::vector<std::string>& out) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i)
    items.push_back(CallText(u"json__item", {Decimal(i)}));
  out = std::move(items);
  return count;
}

int ScriptJsonObject::GetMemberNames(std::vector<std::string>& names, const std::string& path) {
  std::u16string keys;
  const int count =
      Keys(path, keys) ? static_cast<int>(Call(u"json__names", {keys}).AsNumber()) : 0;
  return FetchList(count, names);
}

int ScriptJsonObject::GetArrayCount(const std::string& path) {
  std::u16string keys;
  if (!Keys(path, keys))
    return 0;
  return static_cast<int>(Call(u"json__count", {keys}).AsNumber());
}

// A new object holding the value of the JSON text; no value (null) when the
// text is empty, as it is for a path that holds nothing.
ScriptJsonObject ScriptJsonObject::FromJson(const std::u16string& jsonText) {
  ScriptJsonObject made;
  if (made.CreateNamed())
    made.ParseWide(jsonText, nullptr);
  return made;
}

ScriptJsonObject ScriptJsonObject::GetMember(const std::string& path) {
  std::u16string keys;
  if (!Keys(path, keys))
    return FromJson(std::u16string());
  return FromJson(Call(u"json__text", {keys, u"1"}).AsText());
}

bool ScriptJsonObject::AddArrayItem(const std::string& value, const std::string& path, bool json,
                                    bool atFront) {
  std::u16string keys;
  if (!Keys(path, keys))
    return false;
  std::vector<std::u16string> arguments = {keys, Wide(value), Flag(json), Flag(atFront)};
  return json ? StoreJson(u"json__addItem", std::move(arguments), 1)
              : CallBool(u"json__addItem", std::move(arguments));
}

ScriptJsonObject ScriptJsonObject::GetArrayItem(int index, const std::string& path) {
  std::u16string keys;
  if (!Keys(path, keys))
    return FromJson(std::u16string());
  return FromJson(Call(u"json__itemText", {keys, Decimal(index), u"1"}).AsText());
}

std::string ScriptJsonObject::GetArrayItemText(int index, const std::string& path, bool json) {
  std::u16string keys;
  if (!Keys(path, keys))
    return std::string();
  return CallText(u"json__itemText", {keys, Decimal(index), Flag(json)});
}

bool ScriptJsonObject::SetArrayItem(int index, const std::string& path, const std::string& value,
                                    bool json) {
  std::u16string keys;
  if (!Keys(path, keys))
    return false;
  std::vector<std::u16string> arguments = {keys, Decimal(index), Wide(value), Flag(json)};
  return json ? StoreJson(u"json__setItem", std::move(arguments), 2)
              : CallBool(u"json__setItem", std::move(arguments));
}

bool ScriptJsonObject::RemoveArrayItem(int index, const std::string& path) {
  std::u16string keys;
  return Keys(path, keys) && CallBool(u"json__removeItem", {keys, Decimal(index)});
}

bool ScriptJsonObject::DeleteMember(const std::string& path) {
  std::u16string keys;
  return Keys(path, keys) && CallBool(u"json__delete", {keys});
}

bool ScriptJsonObject::SetNumber(const std::string& path, double number) {
  std::u16string keys;
  if (!Keys(path, keys))
    return false;
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 13);
  return CallBool(u"json__setNumber", {keys, std::u16string(buffer, result.ptr)});
}

double ScriptJsonObject::GetNumber(const std::string& path) {
  std::u16string keys;
  if (!Keys(path, keys))
    return 0;
  return Call(u"json__number", {keys}).AsNumber();
}

std::string ScriptJsonObject::GetJsonAt(const std::string& path) {
  std::u16string keys;
  if (!Keys(path, keys))
    return std::string();
  return Local(EscapeInvisibleCharacters(Call(u"json__text", {keys, u"1"}).AsText()));
}

int ScriptJsonObject::GetLeafValues(std::vector<std::string>& values, const std::string& path,
                                    bool recursive) {
  std::u16string keys;
  const int count =
      Keys(path, keys) ? static_cast<int>(Call(u"json__leaves", {keys, Flag(recursive)}).AsNumber())
                       : 0;
  return FetchList(count, values);
}
