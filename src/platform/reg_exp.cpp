#include "platform/reg_exp.h"

#include "platform/code_page_codec.h"
#include "platform/reg_exp_dialect.h"

namespace {

// A code page 936 subject as UTF-8, with the byte offset in the subject of every
// UTF-8 byte offset (each byte of a character maps to the character's start;
// the end maps to the subject's end).
struct MappedSubject {
  std::string utf8;
  std::vector<int> localOffset;
};

// UTF-8 length of one code unit of decoded code page 936 text, which holds no
// surrogates: every unit is a character of its own.
size_t Utf8UnitLength(char16_t u) {
  return u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
}

MappedSubject MapSubject(std::string_view local) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < local.size(); i += Cp936DecodedCharLength(local, i))
    starts.push_back(i);
  MappedSubject mapped;
  mapped.localOffset.reserve(local.size() * 3 / 2 + 1);
  auto mapUnits = [&](std::u16string_view units, size_t localStart) {
    for (char16_t u : units)
      mapped.localOffset.insert(mapped.localOffset.end(), Utf8UnitLength(u),
                                static_cast<int>(localStart));
  };
  const std::u16string whole = DecodeToUtf16(local, kCodePageLocal);
  if (whole.size() == starts.size() && whole.find(u'\uFFFD') == std::u16string::npos) {
    // The usual case: every character valid, one code unit each. (Equal counts
    // alone do not prove it: a bad pair may be read as the start of the next.)
    for (size_t k = 0; k < starts.size(); ++k)
      mapUnits(std::u16string_view(&whole[k], 1), starts[k]);
    mapped.utf8 = EncodeFromUtf16(whole, kCodePageUtf8);
  } else {
    // Invalid or unassigned sequences: convert character by character so that
    // each keeps its own offset.
    for (size_t k = 0; k < starts.size(); ++k) {
      const size_t end = k + 1 < starts.size() ? starts[k + 1] : local.size();
      const std::u16string units =
          DecodeToUtf16(local.substr(starts[k], end - starts[k]), kCodePageLocal);
      mapUnits(units, starts[k]);
      mapped.utf8 += EncodeFromUtf16(units, kCodePageUtf8);
    }
  }
  mapped.localOffset.push_back(static_cast<int>(local.size()));
  return mapped;
}

size_t Utf8CharLength(std::string_view utf8, size_t i) {
  const unsigned char b = static_cast<unsigned char>(utf8[i]);
  size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  return std::min(len, utf8.size() - i);
}

struct MatchDataDeleter {
  void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
};

}  // namespace

struct RegExp::Compiled {
  pcre2_code* code = nullptr;
  ~Compiled() { pcre2_code_free(code); }
};

RegExp::RegExp() = default;
RegExp::~RegExp() = default;

void RegExp::Invalidate() {
  m_compiled.reset();
}

void RegExp::SetPattern(std::string_view pattern) {
  m_pattern.assign(pattern);
  Invalidate();
}

void RegExp::SetIgnoreCase(bool on) {
  if (on != m_ignoreCase)
    Invalidate();
  m_ignoreCase = on;
}

void RegExp::SetMultiline(bool on) {
  if (on != m_multiline)
    Invalidate();
  m_multiline = on;
}

RegExpStatus RegExp::Compile() const {
  if (m_compiled)
    return RegExpStatus::kOk;
  pcre2_code* code = CompileDialectPattern(m_pattern, m_ignoreCase, m_multiline, m_lastError);
  if (code == nullptr)
    return RegExpStatus::kBadPattern;
  m_compiled = std::make_shared<Compiled>();
  m_compiled->code = code;
  return RegExpStatus::kOk;
}

RegExpStatus RegExp::Execute(std::string_view subject, std::vector<RegExpMatch>& matches) const {
  matches.clear();
  m_lastError.clear();
  RegExpStatus status = Compile();
  if (status != RegExpStatus::kOk)
    return status;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
      pcre2_match_data_create_from_pattern(m_compiled->code, nullptr));
  const MappedSubject mapped = MapSubject(subject);
  const auto* text = reinterpret_cast<PCRE2_SPTR>(mapped.utf8.data());
  const size_t length = mapped.utf8.size();
  const DialectMatchLimits limits(length);
  if (!data || limits.Context() == nullptr) {
    m_lastError = "out of memory";
    return RegExpStatus::kFailed;
  }
  uint32_t groups = 0;
  pcre2_pattern_info(m_compiled->code, PCRE2_INFO_CAPTURECOUNT, &groups);

  auto piece = [&](size_t from, size_t to) {
    const int a = mapped.localOffset[from];
    const int b = mapped.localOffset[to];
    return std::string(subject.substr(a, b - a));
  };
  std::vector<RegExpMatch> found;
  size_t offset = 0;
  while (offset <= length) {
    const int rc = pcre2_match(m_compiled->code, text, length, offset, PCRE2_NO_UTF_CHECK,
                               data.get(), limits.Context());
    if (rc == PCRE2_ERROR_NOMATCH)
      break;
    if (rc < 0) {
      m_lastError = DialectErrorText(rc);
      return DialectMatchFailure(rc);
    }
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data.get());
    RegExpMatch match;
    match.value = piece(ov[0], ov[1]);
    match.position = mapped.localOffset[ov[0]];
    for (uint32_t g = 1; g <= groups; ++g) {
      RegExpSubMatch sub;
      if (static_cast<int>(g) < rc && ov[2 * g] != PCRE2_UNSET) {
        sub.matched = true;
        sub.value = piece(ov[2 * g], ov[2 * g + 1]);
        sub.position = mapped.localOffset[ov[2 * g]];
      }
      match.subMatches.push_back(std::move(sub));
    }
    found.push_back(std::move(match));
    if (!m_global)
      break;
    if (ov[1] > ov[0]) {
      offset = ov[1];
    } else if (ov[1] < length) {
      // An empty match: go on one character later, as the scripting engines do.
      offset = ov[1] + Utf8CharLength(mapped.utf8, ov[1]);
    } else {
      break;
    }
  }
  matches = std::move(found);
  return RegExpStatus::kOk;
}

namespace {

// Expands the $-references of a replacement for one match.
void AppendReplacement(std::string& out, std::string_view replacement, std::string_view subject,
                       const RegExpMatch& match) {
  const size_t groups = match.subMatches.size();
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (size_t i = 0; i < replacement.size(); ++i) {
    const char c = replacement[i];
    if (c != '$' || i + 1 >= replacement.size()) {
      out += c;
      continue;
    }
    const char next = replacement[i + 1];
    if (next == '$') {
      out += '$';
      ++i;
    } else if (next == '&') {
      out += match.value;
      ++i;
    } else if (next == '`') {
      out += subject.substr(0, match.position);
      ++i;
    } else if (next == '\'') {
      out += subject.substr(match.position + match.value.size());
      ++i;
    } else if (digit(next)) {
      size_t number = static_cast<size_t>(next - '0');
      size_t used = 1;
      if (i + 2 < replacement.size() && digit(replacement[i + 2])) {
        const size_t two = number * 10 + static_cast<size_t>(replacement[i + 2] - '0');
        if (two >= 1 && two <= groups) {
          number = two;
          used = 2;
        }
      }
      if (number >= 1 && number <= groups) {
        out += match.subMatches[number - 1].value;
        i += used;
      } else {
        out += c;  // not a reference: the dollar stands for itself
      }
    } else {
      out += c;
    }
  }
}

}  // namespace

RegExpStatus RegExp::Replace(std::string_view subject, std::string_view replacement,
                             std::string& out) const {
  std::vector<RegExpMatch> matches;
  const RegExpStatus status = Execute(subject, matches);
  if (status != RegExpStatus::kOk)
    return status;
  std::string result;
  result.reserve(subject.size());
  size_t done = 0;
  for (const RegExpMatch& match : matches) {
    result.append(subject.substr(done, match.position - done));
    AppendReplacement(result, replacement, subject, match);
    done = match.position + match.value.size();
  }
  result.append(subject.substr(done));
  out = std::move(result);
  return RegExpStatus::kOk;
}

bool RegExp::Test(std::string_view subject) const {
  RegExp first(*this);
  first.SetGlobal(false);
  std::vector<RegExpMatch> matches;
  return first.Execute(subject, matches) == RegExpStatus::kOk && !matches.empty();
}
