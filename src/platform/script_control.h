#pragma once
// A JavaScript engine in the shape of the classic script-control object: set a
// language, add code, execute statements, evaluate expressions and run named
// functions, with the error of the last failed call kept for the caller.
// Built over Duktape: one heap per object, every call protected, so a script
// error or an out-of-memory condition becomes a false result and an Error(),
// never an abort or an exception.
//
// Texts cross this interface as UTF-16. Inside, strings travel as CESU-8 (each
// surrogate encoded on its own), which is how the engine stores them, so
// supplementary characters survive a round trip.
//
// An object belongs to the thread that made it: its heap is not locked. The
// heap is capped (kHeapLimit) so that no input can make it grow without bound.
// Scripts run to their end: the engine has no time-out, so it is given only
// the program's own code; data reaches it as values (SetGlobalText), never as
// code.

#include <cstddef>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// What the engine reported about the last failed call.
struct ScriptError {
  int number = 0;              // 1002 syntax error, 5009 undefined name, 5 other run-time error
  std::u16string source;       // "compilation error" or "run-time error"
  std::u16string description;  // the engine's message
  std::u16string helpFile;
  int helpContext = 0;
  std::u16string text;  // the error's full text, "SyntaxError: ..."
  int line = 0;         // 1-based line in the code text, 0 when unknown
  int column = 0;
};

// The value a call gave back.
struct ScriptValue {
  enum class Kind { kEmpty, kNull, kBoolean, kNumber, kString, kObject };
  Kind kind = Kind::kEmpty;
  bool boolean = false;
  double number = 0;
  std::u16string text;  // the string, or the script's own text form of the value

  // The value as the script would turn it into a string; empty for undefined
  // and null.
  std::u16string AsText() const;
  // The script's truthiness of the value.
  bool AsBool() const;
  // The script's numeric value; 0 where that would be NaN.
  double AsNumber() const;
};

class ScriptControl {
 public:
  static constexpr size_t kHeapLimit = size_t{64} << 20;  // far above any reply or file we keep

  ScriptControl();
  ~ScriptControl();
  ScriptControl(const ScriptControl&) = delete;
  ScriptControl& operator=(const ScriptControl&) = delete;

  // False when the engine could not be made; every call then fails.
  bool IsValid() const { return m_heap != nullptr; }

  // "JScript" and "JavaScript" (any case) run code; any other language makes
  // every call fail. Empty until set.
  const std::u16string& Language() const { return m_language; }
  void SetLanguage(std::u16string_view language);

  // Properties kept for callers that set and read them. The engine cannot stop
  // a running script, so Timeout is not enforced.
  long Timeout() const { return m_timeout; }
  void SetTimeout(long ms) { m_timeout = ms; }
  long State() const { return m_state; }
  void SetState(long state) { m_state = state; }
  bool AllowUI() const { return m_allowUI; }
  void SetAllowUI(bool allow) { m_allowUI = allow; }
  long SitehWnd() const { return m_sitehWnd; }
  void SetSitehWnd(long window) { m_sitehWnd = window; }

  // Run code in the global scope and keep its definitions. False on a syntax or
  // run-time error (see Error()).
  [[nodiscard]] bool AddCode(std::u16string_view code);
  // AddCode for the program's own fixed code (a library every engine of a kind
  // gets): the text is compiled once per process and later engines load the
  // compiled form, which is much cheaper than compiling. The compiled form is
  // trusted as it is, so never pass text that came from outside.
  [[nodiscard]] bool AddLibraryCode(std::u16string_view code);
  [[nodiscard]] bool ExecuteStatement(std::u16string_view code);

  // Run code in the global scope and give back the value of its last
  // expression.
  [[nodiscard]] bool Eval(std::u16string_view code, ScriptValue& result);

  // Call the global function `name` with the texts as its arguments.
  [[nodiscard]] bool Run(std::u16string_view name, const std::vector<std::u16string>& arguments,
                         ScriptValue& result);

  // Set a global variable to a string value, without it ever being read as
  // code.
  [[nodiscard]] bool SetGlobalText(std::u16string_view name, std::u16string_view value);

  // Drop every definition: the engine starts again from scratch.
  void Reset();

  // How many calls have reached the engine since it was made (a Reset counts
  // too): an owner that noted the figure can tell the engine is as it left it.
  unsigned long CallCount() const { return m_calls; }

  // The last failed call's error; cleared by every successful call.
  const ScriptError& Error() const { return m_error; }
  // The last failed call's error text; empty when the last call succeeded.
  const std::u16string& LastErrorText() const { return m_error.text; }

 private:
  struct Heap;
  bool Ready();
  bool Finish(int rc);
  ScriptValue TakeValue();

  Heap* m_heap = nullptr;
  std::u16string m_language;
  long m_timeout = 10000;
  long m_state = 0;
  bool m_allowUI = true;
  long m_sitehWnd = 0;
  ScriptError m_error;
  std::thread::id m_owner;
  unsigned long m_calls = 0;
};
