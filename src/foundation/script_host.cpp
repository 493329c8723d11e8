#include "foundation/script_host.h"

#include <vector>

#include "platform/code_page_codec.h"

namespace {

// The error text of the last host call on this thread.
thread_local std::string t_lastError;

std::u16string Wide(const std::string& text) {
  return DecodeToUtf16(text, kCodePageLocal);
}
std::string Local(std::u16string_view text) {
  return EncodeFromUtf16(text, kCodePageLocal);
}

constexpr char kNoEngine[] = "the script engine was not created";

}  // namespace

ScriptHost::ScriptHost() = default;
ScriptHost::~ScriptHost() = default;
ScriptHost::ScriptHost(const ScriptHost& other) = default;
ScriptHost& ScriptHost::operator=(const ScriptHost& other) = default;

bool ScriptHost::Record(bool ok) {
  if (ok)
    t_lastError.clear();
  else
    t_lastError = m_engine ? Local(m_engine->LastErrorText()) : kNoEngine;
  return ok;
}

bool ScriptHost::Init() {
  auto engine = std::make_shared<ScriptControl>();
  if (!engine->IsValid()) {
    m_engine.reset();
    return Record(false);
  }
  engine->SetLanguage(u"JScript");
  m_engine = std::move(engine);
  return Record(true);
}

bool ScriptHost::ExecuteStatement(const std::string& code) {
  return Record(m_engine && m_engine->ExecuteStatement(Wide(code)));
}

std::string ScriptHost::Eval(const std::string& expression) {
  ScriptValue value;
  if (!Record(m_engine && m_engine->Eval(Wide(expression), value)))
    return std::string();
  return Local(value.AsText());
}

void ScriptHost::Reset() {
  if (m_engine)
    m_engine->Reset();
  Record(m_engine != nullptr);
}

std::string ScriptHost::LastError() const {
  return t_lastError;
}

std::string ScriptHost::Run(const std::string& name, const std::optional<std::string>& a1,
                            const std::optional<std::string>& a2,
                            const std::optional<std::string>& a3,
                            const std::optional<std::string>& a4,
                            const std::optional<std::string>& a5,
                            const std::optional<std::string>& a6) {
  std::vector<std::u16string> arguments;
  for (const std::optional<std::string>* a : {&a1, &a2, &a3, &a4, &a5, &a6}) {
    if (!a->has_value())
      break;
    arguments.push_back(Wide(**a));
  }
  ScriptValue value;
  if (!Record(m_engine && m_engine->Run(Wide(name), arguments, value)))
    return std::string();
  return Local(value.AsText());
}

std::string ScriptHost::Language(std::optional<int> value) {
  if (!m_engine)
    return std::string();
  if (!value || *value == 0)
    m_engine->SetLanguage(u"JScript");
  else if (*value == 1)
    m_engine->SetLanguage(u"vbs");
  return Local(m_engine->Language());
}

long ScriptHost::Timeout(std::optional<long> ms) {
  if (!m_engine)
    return 0;
  m_engine->SetTimeout(ms.value_or(-1));
  return m_engine->Timeout();
}

long ScriptHost::State(std::optional<long> value) {
  if (!m_engine)
    return 0;
  if (value)
    m_engine->SetState(*value);
  return m_engine->State();
}

bool ScriptHost::AllowUI(std::optional<bool> value) {
  if (!m_engine)
    return false;
  if (value)
    m_engine->SetAllowUI(*value);
  return m_engine->AllowUI();
}

long ScriptHost::SitehWnd(std::optional<long> value) {
  if (!m_engine)
    return 0;
  if (value)
    m_engine->SetSitehWnd(*value);
  return m_engine->SitehWnd();
}

bool ScriptHost::AddCode(const std::string& code) {
  return Record(m_engine && m_engine->AddCode(Wide(code)));
}
