#pragma once
// Small services that the request builders need: running one named function
// of a script text the program carries, finding one cookie's value in an
// account's cookie text, and the `logid` request value built from both.
//
// Everything here runs on the calling thread and keeps nothing between calls,
// but for the last logid (ComputeLogId).

#include <string>

// The result of RunJScriptFunction when the code text cannot be executed.
inline constexpr char kScriptRunFailed[] = "JS代码运行失败";

// Kept for the callers that enter and leave the platform's object layer on a
// worker thread; this platform needs no per-thread set-up, so both do nothing.
void InitializeCom();
void UninitializeCom();

// Runs `code` in a fresh script engine, then calls `functionName` with all four
// texts (a missing one passed as the empty text). Returns the function's
// result as text; kScriptRunFailed when the code text does not run; empty when
// the call itself fails. Only for code the program carries: never pass text
// from the network or from files as `code`.
std::string RunJScriptFunction(const std::string& code, const std::string& functionName,
                               const std::string& argument1 = std::string(),
                               const std::string& argument2 = std::string(),
                               const std::string& argument3 = std::string(),
                               const std::string& argument4 = std::string());

// The entry of `cookieName` in a cookie text of name=value entries separated
// by ";" (with or without a following space); the name is compared without
// regard to case. With valueOnly the result is the text after the last
// "name=" of that entry, otherwise the whole entry. Empty when no entry
// starts with "name=".
std::string GetCookieValue(const std::string& cookieText, const std::string& cookieName,
                           bool valueOnly);

// The program's `logid` script text, beginning "function logid(r)".
const std::string& LogIdScriptText();

// The `logid` request value of a cookie text: the script run on its BAIDUID
// value (the Base64 of that value). Empty when the cookie is missing or the
// script fails, so a failure never ends up inside a URL. The last value's
// logid is kept (the script is a pure function of the value). Any thread.
std::string ComputeLogId(const std::string& cookieText);
