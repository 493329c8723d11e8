#include "jobs/name_regex.h"

#include <memory>
#include <vector>

#include "platform/code_page_codec.h"
#include "platform/reg_exp_dialect.h"

namespace {

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

// One compiled pattern with what every search of it needs: its match data and
// its match context (limits re-armed per search).
struct CompiledPattern {
  std::string pattern;
  std::unique_ptr<pcre2_code, CodeDeleter> code;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data;
  std::unique_ptr<DialectMatchLimits> limits;
  std::string error;  // empty when `code` is set
};

// The last pattern this thread compiled.
CompiledPattern& Compile(std::string_view pattern) {
  thread_local CompiledPattern s_last;
  thread_local bool s_filled = false;
  if (s_filled && s_last.pattern == pattern)
    return s_last;
  s_filled = true;
  s_last.pattern.assign(pattern);
  s_last.data.reset();
  s_last.code.reset();
  s_last.error.clear();
  s_last.code.reset(CompileDialectPattern(pattern, true, true, s_last.error));
  if (!s_last.code && s_last.error.empty())
    s_last.error = "out of memory";
  if (s_last.code) {
    s_last.data.reset(pcre2_match_data_create_from_pattern(s_last.code.get(), nullptr));
    if (!s_last.limits)
      s_last.limits = std::make_unique<DialectMatchLimits>(0);
  }
  return s_last;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The name as UTF-8, with the index of the name character that every byte
// belongs to (the end maps to the character count).
struct Utf8Subject {
  std::string text;
  std::vector<std::size_t> charAt;
};

// Fills the subject again; its buffers are kept from name to name.
void MakeSubject(const NameChars& chars, Utf8Subject& subject) {
  subject.text.clear();
  subject.charAt.clear();
  subject.text.reserve(chars.size() * 3);
  for (std::size_t i = 0; i < chars.size();) {
    char32_t c = chars[i].unit;
    std::size_t used = 1;
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && i + 1 < chars.size() && chars[i + 1].unit >= 0xDC00 &&
        chars[i + 1].unit <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (chars[i + 1].unit - 0xDC00);
      used = 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    const std::size_t before = subject.text.size();
    AppendUtf8(subject.text, c);
    subject.charAt.insert(subject.charAt.end(), subject.text.size() - before, i);
    i += used;
  }
  subject.charAt.push_back(chars.size());
}

std::size_t Utf8Length(const std::string& text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  return std::min(length, text.size() - i);
}

}  // namespace

RegExpStatus CheckNamePattern(std::string_view pattern, std::string* error) {
  const CompiledPattern& compiled = Compile(pattern);
  if (compiled.code)
    return RegExpStatus::kOk;
  if (error != nullptr)
    *error = compiled.error;
  return RegExpStatus::kBadPattern;
}

RegExpStatus DeleteNameMatches(NameChars& chars, std::string_view pattern, std::string* error) {
  CompiledPattern& compiled = Compile(pattern);
  if (!compiled.code) {
    if (error != nullptr)
      *error = compiled.error;
    return RegExpStatus::kBadPattern;
  }
  thread_local Utf8Subject s_subject;
  const Utf8Subject& subject = s_subject;
  MakeSubject(chars, s_subject);
  pcre2_match_data* data = compiled.data.get();
  DialectMatchLimits& limits = *compiled.limits;
  // One work limit over the whole search, not only per start position, so no
  // pattern can hold a job up on a long name.
  limits.Restart(subject.text.size());
  if (!data || limits.Context() == nullptr) {
    if (error != nullptr)
      *error = "out of memory";
    return RegExpStatus::kFailed;
  }
  const auto* text = reinterpret_cast<PCRE2_SPTR>(subject.text.data());
  const std::size_t length = subject.text.size();
  thread_local std::vector<bool> s_removed;
  std::vector<bool>& removed = s_removed;
  removed.assign(chars.size(), false);
  bool any = false;
  std::size_t offset = 0;
  while (offset <= length) {
    const int rc = pcre2_match(compiled.code.get(), text, length, offset, PCRE2_NO_UTF_CHECK, data,
                               limits.Context());
    if (rc == PCRE2_ERROR_NOMATCH)
      break;
    if (rc < 0) {
      if (error != nullptr)
        *error = DialectErrorText(rc);
      return DialectMatchFailure(rc);
    }
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
    // \K inside a lookahead can end a match before its start; such a match
    // removes nothing.
    for (std::size_t i = subject.charAt[ov[0]]; ov[1] >= ov[0] && i < subject.charAt[ov[1]]; ++i) {
      removed[i] = true;
      any = true;
    }
    // Go on after the match; after an empty match one character later, as the
    // scripting engines do; always forward.
    auto step = [&](std::size_t at) { return at < length ? Utf8Length(subject.text, at) : 1; };
    std::size_t next = ov[1] > ov[0] ? ov[1] : ov[1] + step(ov[1]);
    if (next <= offset)
      next = offset + step(offset);
    offset = next;
  }
  if (any) {
    NameChars kept;
    kept.reserve(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i) {
      if (!removed[i])
        kept.push_back(chars[i]);
    }
    chars = std::move(kept);
  }
  return RegExpStatus::kOk;
}
