#include "platform/reg_exp_dialect.h"

#include "platform/code_page_codec.h"
#include "platform/reg_exp.h"

namespace {

// The pattern with every "\C" written as a plain C, as the scripting dialect
// reads it. To PCRE2 it would match one byte of the UTF-8 subject and leave a
// match, and the next search, inside a character.
std::string PlainBackslashC(std::string_view utf8Pattern) {
  std::string out;
  out.reserve(utf8Pattern.size());
  for (size_t i = 0; i < utf8Pattern.size(); ++i) {
    if (utf8Pattern[i] == '\\' && i + 1 < utf8Pattern.size()) {
      if (utf8Pattern[i + 1] != 'C')
        out += '\\';
      out += utf8Pattern[++i];
    } else {
      out += utf8Pattern[i];
    }
  }
  return out;
}

}  // namespace

pcre2_code* CompileDialectPattern(std::string_view pattern, bool ignoreCase, bool multiline,
                                  std::string& error) {
  // The auto callouts before every item feed the work limit.
  uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY |
                     PCRE2_ALLOW_EMPTY_CLASS | PCRE2_AUTO_CALLOUT;
  if (ignoreCase)
    options |= PCRE2_CASELESS;
  if (multiline)
    options |= PCRE2_MULTILINE;
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  if (context == nullptr) {
    error = "out of memory";
    return nullptr;
  }
  pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
  const std::string utf8 = PlainBackslashC(Cp936ToUtf8(pattern));
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8.data()), utf8.size(), options,
                                   &errorCode, &errorOffset, context);
  pcre2_compile_context_free(context);
  if (code == nullptr)
    error = DialectErrorText(errorCode);
  return code;
}

std::string DialectErrorText(int code) {
  PCRE2_UCHAR message[256];
  pcre2_get_error_message(code, message, sizeof message);
  return reinterpret_cast<const char*>(message);
}

RegExpStatus DialectMatchFailure(int code) {
  return (code == PCRE2_ERROR_MATCHLIMIT || code == PCRE2_ERROR_DEPTHLIMIT ||
          code == PCRE2_ERROR_HEAPLIMIT)
             ? RegExpStatus::kLimitExceeded
             : RegExpStatus::kFailed;
}

// The match limit resets at each start position, so only this count bounds a
// search that is costly at every one of them.
DialectMatchLimits::DialectMatchLimits(size_t subjectBytes)
    : m_context(pcre2_match_context_create(nullptr)),
      m_limit(RegExp::kWorkLimit +
              RegExp::kWorkPerByte * static_cast<unsigned long long>(subjectBytes)) {
  if (m_context == nullptr)
    return;
  pcre2_set_match_limit(m_context, RegExp::kMatchLimit);
  pcre2_set_depth_limit(m_context, RegExp::kDepthLimit);
  pcre2_set_callout(m_context, CountWork, this);
}

void DialectMatchLimits::Restart(size_t subjectBytes) {
  m_used = 0;
  m_limit =
      RegExp::kWorkLimit + RegExp::kWorkPerByte * static_cast<unsigned long long>(subjectBytes);
}

DialectMatchLimits::~DialectMatchLimits() {
  pcre2_match_context_free(m_context);
}

int DialectMatchLimits::CountWork(pcre2_callout_block* /*block*/, void* data) {
  auto* limits = static_cast<DialectMatchLimits*>(data);
  return ++limits->m_used > limits->m_limit ? PCRE2_ERROR_MATCHLIMIT : 0;
}
