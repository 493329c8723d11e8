#pragma once
// A script engine for running code that the program carries: run a statement
// text (usually function definitions), then call a named function with up to
// six text arguments and get its result as text. Texts are code page 936.
//
// A host belongs to the thread that made it. Copies share the engine.

#include <memory>
#include <optional>
#include <string>

#include "platform/script_control.h"

class ScriptHost {
 public:
  ScriptHost();
  ~ScriptHost();
  ScriptHost(const ScriptHost& other);  // a second reference to the same engine
  ScriptHost& operator=(const ScriptHost& other);

  // Makes the engine and sets its language to "JScript". False when the engine
  // cannot be made; every later call then fails.
  bool Init();

  // Runs the code; true when the call left no error (LastError() empty).
  bool ExecuteStatement(const std::string& code);
  // The value of the expression as text; empty on an error.
  std::string Eval(const std::string& expression);
  // Drops every definition.
  void Reset();
  // Text of the last failed call on this thread; empty when the last call
  // succeeded.
  std::string LastError() const;
  // The engine, shared with this host; null before Init.
  std::shared_ptr<ScriptControl> GetEngine() const { return m_engine; }
  // Lets go of this host's reference to the engine; every call then fails
  // until Init.
  void ReleaseEngine() { m_engine.reset(); }

  // Calls the function with the leading arguments that are given: with the
  // first k present, exactly those k are passed (a later one after a gap is
  // not). The result as text; empty on an error.
  std::string Run(const std::string& name, const std::optional<std::string>& a1 = std::nullopt,
                  const std::optional<std::string>& a2 = std::nullopt,
                  const std::optional<std::string>& a3 = std::nullopt,
                  const std::optional<std::string>& a4 = std::nullopt,
                  const std::optional<std::string>& a5 = std::nullopt,
                  const std::optional<std::string>& a6 = std::nullopt);

  // 0 or no value: "JScript"; 1: "vbs"; any other number changes nothing.
  // Returns the current language.
  std::string Language(std::optional<int> value = std::nullopt);
  // Sets the time-out (-1 without a value) and returns it.
  long Timeout(std::optional<long> ms = std::nullopt);
  // Set the property only when a value is given; return its current value.
  long State(std::optional<long> value = std::nullopt);
  bool AllowUI(std::optional<bool> value = std::nullopt);
  long SitehWnd(std::optional<long> value = std::nullopt);

  // Adds code to the engine; true when it ran without error.
  bool AddCode(const std::string& code);

 private:
  bool Record(bool ok);

  std::shared_ptr<ScriptControl> m_engine;
};
