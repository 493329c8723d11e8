// The JSON parser: a state machine over UTF-16 units with an explicit stack of
// open containers. A parse of a folder-listing reply runs once over the text;
// its nodes, texts, keys and child lists go into one arena (json_arena.h), a
// key met again (every entry of a listing has the same keys) is kept once, and
// the children of a container are gathered until it closes, so its list or
// member table is made with exactly their number. Nothing here recurses.

#include "data/json_parser.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "data/json_arena.h"
#include "data/json_numbers.h"
#include "data/json_parse_stack.h"
#include "data/json_tree_node.h"
#include "foundation/hex_digit.h"

namespace {

enum ParserState : int32_t { ExpectKey = 1, ExpectValue = 2, AfterChild = 3 };

constexpr size_t kNoKey = static_cast<size_t>(-1);

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool IsQuote(char16_t c) {
  return c == u'"' || c == u'\'';
}

// Counts the units of one phase of a scan (a key or a value token) and notices
// blanks that stand between its units: such a token would be cut short, so it
// is refused instead.
struct Phase {
  size_t start = 0;
  size_t length = 0;
  bool blankPending = false;
  bool innerBlank = false;
  void Count(size_t units) {
    innerBlank = innerBlank || blankPending;
    blankPending = false;
    length += units;
  }
  void Blank(size_t at) {
    if (length == 0)
      start = at + 1;
    else
      blankPending = true;
  }
};

// Runs over UTF-16 units, or over bytes of a text that is all ASCII (then its
// byte positions are its UTF-16 positions); the pieces that become node texts
// are widened one at a time.
template <typename Char>
class ParseRun {
 public:
  ParseRun(JsonTreeNode* target, std::basic_string_view<Char> text, int32_t options)
      : m_target(target),
        m_text(text),
        m_options(options),
        // The target's own depth counts against the bound.
        m_stack(static_cast<size_t>(std::max(0, kMaxJsonDepth - NodeDepth(target)))),
        m_nodeBudget(std::min(kMaxJsonParseNodes, text.size() * 4)) {}
  ~ParseRun() {
    if (m_arena)
      m_arena->Unhold();
  }
  ParseRun(const ParseRun&) = delete;
  ParseRun& operator=(const ParseRun&) = delete;

  int32_t Run(int32_t* errorPosition) {
    ClearNodeValue(m_target);
    for (size_t i = 0; i <= m_text.size(); ++i) {
      const char16_t c = At(i);
      if (IsBlank(c) || c == 0)
        continue;
      int32_t code;
      if (c == u'{' || c == u'[')
        code = Open(i, c == u'{');
      else if (m_stack.Empty())
        code = TopLevelStep(i);
      else if (m_stack.Peek().node->type == JsonNodeType::Array)
        code = ArrayStep(i);
      else
        code = ObjectStep(i);
      if (code != kJsonParseOk)
        return Failed(code, m_errorPosition, errorPosition);
    }
    if (!m_stack.Empty())
      return Failed(kJsonUnclosed, m_text.size() + 1, errorPosition);
    *errorPosition = 0;
    return kJsonParseOk;
  }

 private:
  char16_t Unit(size_t i) const {
    if constexpr (sizeof(Char) == 1)
      return static_cast<unsigned char>(m_text[i]);
    else
      return m_text[i];
  }

  char16_t At(size_t i) const { return i < m_text.size() ? Unit(i) : u'\0'; }

  // A piece of the text as UTF-16: a view of it, or its widened copy in `room`.
  std::u16string_view Wide(size_t start, size_t length, std::u16string& room) const {
    const auto piece = m_text.substr(start, length);
    if constexpr (sizeof(Char) == 1) {
      // Widened in place: the room keeps its buffer from piece to piece.
      room.resize(piece.size());
      std::copy(piece.begin(), piece.end(), room.begin());
      return room;
    } else {
      return piece;
    }
  }

  int32_t Fail(int32_t code, size_t position) {
    m_errorPosition = position;
    return code;
  }

  // Counts one node against the parse's budget; false (the parse fails at
  // `at`) when the budget is spent.
  bool TakeNode(size_t at) {
    if (m_nodesMade >= m_nodeBudget) {
      Fail(kJsonNoMemory, at);
      return false;
    }
    ++m_nodesMade;
    return true;
  }

  int32_t Failed(int32_t code, size_t position, int32_t* errorPosition) {
    // Children not yet linked (those of open containers, and the open
    // containers themselves) are freed here; the rest with the target.
    for (JsonTreeNode* child : m_children)
      FreeNode(child);
    m_children.clear();
    ClearNodeValue(m_target);
    *errorPosition = static_cast<int32_t>(position);
    return code;
  }

  // Units a backslash takes together with what follows it, kept inside the text.
  size_t EscapeWidth(size_t at) const {
    const size_t width = At(at + 1) == u'u' ? 6 : 2;
    return std::min(width, m_text.size() - at);
  }

  // A new node of this parse, counted against the budget; null (the parse
  // fails at `at`) when the budget is spent.
  JsonTreeNode* MakeNode(size_t at) {
    if (!TakeNode(at))
      return nullptr;
    if (!m_arena)
      m_arena = JsonArena::Create(m_text.size());
    m_arena->NoteInputRead(at);
    return m_arena->NewNode();
  }

  // Gives a member node its key, kept once per parse in the arena.
  void PutKey(JsonTreeNode* node, size_t start, size_t length) {
    std::u16string_view key = Wide(start, length, m_wideKey);
    if (key.find(u'\\') != std::u16string_view::npos) {
      m_scratch.assign(key);
      UnescapeJsonText(m_scratch, (m_options & kJsonDecodeUnicodeEscapes) != 0);
      key = m_scratch;
    }
    const uint32_t hash = HashJsonKey(key);
    JsonKey& known = m_knownKeys[hash % kKnownKeys];
    if (known.hash != hash || known.View() != key || (key.empty() && known.data != nullptr)) {
      known.data = m_arena->CopyText(key);
      known.size = static_cast<uint32_t>(key.size());
      known.hash = hash;
    }
    node->key = known;
  }

  // Links the children gathered since the container at the top of the stack
  // opened into it.
  void CloseContainer() {
    JsonTreeNode* node = m_stack.Peek().node;
    const size_t first = m_firstChild.back();
    m_firstChild.pop_back();
    JsonTreeNode* const* children = m_children.data() + first;
    const size_t count = m_children.size() - first;
    const bool object = node->type == JsonNodeType::Object;
    const bool built = object ? node->members != nullptr : node->elements != nullptr;
    if (built) {
      // A second top-level container of the same kind adds to the first.
      for (size_t k = 0; k < count; ++k) {
        if (object) {
          const std::u16string key(children[k]->key.View());
          LinkMember(node, key, children[k]);
        } else {
          LinkElement(node, children[k]);
        }
      }
    } else if (object) {
      MakeParsedObject(node, count, node != m_target);
      LinkParsedMembers(node, children, count);
    } else {
      MakeParsedArray(node, count, node != m_target);
      for (size_t k = 0; k < count; ++k) {
        children[k]->parent = node;
        node->elements->push_back(children[k]);
      }
    }
    m_children.resize(first);
  }

  // The start of a step inside the innermost open container, which must be
  // waiting for `expected` or have just finished a child (then it waits for
  // `expected` again and a comma at i only separates). Returns the code the
  // step ends with, or nothing when the step goes on to scan from i.
  std::optional<int32_t> BeginStep(size_t i, ParserState expected, int32_t misplacedCode) {
    const int32_t state = m_stack.Peek().state;
    if (state == AfterChild) {
      m_stack.SetTopState(expected);
      if (At(i) == u',')
        return kJsonParseOk;
      return std::nullopt;
    }
    if (state != expected)
      return Fail(misplacedCode, i);
    return std::nullopt;
  }

  // A container opening at j where a value is scanned: refused when value
  // text stands before it. The scan goes on at j.
  int32_t OpenInValue(const Phase& token, size_t j, size_t& i) {
    if (token.length != 0)
      return Fail(kJsonBadValue, token.start);
    i = j;
    return Open(j, Unit(j) == u'{');
  }

  void Pop() {
    CloseContainer();
    m_stack.Pop();
    m_stack.SetTopState(AfterChild);
  }

  int32_t Open(size_t at, bool object) {
    if (m_stack.Full())
      return Fail(kJsonNoMemory, at);
    JsonTreeNode* node = m_target;
    const JsonNodeType kind = object ? JsonNodeType::Object : JsonNodeType::Array;
    if (m_stack.Empty()) {
      // A second top-level container of the same kind adds to the first.
      if (node->type != kind) {
        ClearNodeValue(node);
        node->type = kind;  // its container is made when it closes
      }
    } else {
      const JsonParseStack::Entry top = m_stack.Peek();
      if (top.state != ExpectValue)
        return Fail(kJsonMisplaced, at);
      if (top.node->type == JsonNodeType::Object && m_pendingKeyStart == kNoKey)
        return Fail(kJsonMisplaced, at);
      node = MakeNode(at);
      if (!node)
        return kJsonNoMemory;
      node->type = kind;
      if (top.node->type == JsonNodeType::Object)
        PutKey(node, m_pendingKeyStart, m_pendingKeyLength);
      m_children.push_back(node);
    }
    m_stack.Push(node, object ? ExpectKey : ExpectValue);
    m_firstChild.push_back(m_children.size());
    return kJsonParseOk;
  }

  int32_t TopLevelStep(size_t& i) {
    if (m_options & kJsonIgnoreOutside)
      return kJsonParseOk;
    if (const int32_t code = CheckLoneNumber(i); code != kJsonParseOk)
      return code;
    JsonTreeNode* value = nullptr;
    const int32_t code = Convert(0, m_text.size(), &value);
    if (code != kJsonParseOk)
      return code;
    MoveNodeValue(value, m_target);
    FreeNode(value);  // the arena's last node: the arena goes when the run ends
    i = m_text.size();
    return kJsonParseOk;
  }

  int32_t ArrayStep(size_t& i) {
    if (const std::optional<int32_t> done = BeginStep(i, ExpectValue, kJsonBadValue))
      return *done;
    Phase token;
    token.start = i;
    char16_t quote = 0;
    bool closing = false;
    size_t j = i;
    for (; j < m_text.size(); ++j) {
      const char16_t c = Unit(j);
      if (!quote && IsBlank(c)) {
        token.Blank(j);
        continue;
      }
      if (IsQuote(c)) {
        if (!quote)
          quote = c;
        else if (quote == c)
          quote = 0;
      } else if (c == u'\\') {
        const size_t width = EscapeWidth(j);
        token.Count(width);
        j += width - 1;
        continue;
      } else if (!quote) {
        if (c == u'{' || c == u'[')
          return OpenInValue(token, j, i);
        if (c == u']') {
          // The array closes after its last value is in.
          if (token.length == 0) {
            Pop();
            i = j;
            return kJsonParseOk;
          }
          closing = true;
          break;
        }
        if (c == u',')
          break;
      }
      token.Count(1);
    }
    i = j;
    if (quote)
      return Fail(kJsonOpenQuote, token.start);
    if (token.length == 0)
      return kJsonParseOk;  // empty elements and trailing commas add nothing
    if (token.innerBlank)
      return Fail(kJsonBadValue, token.start);
    JsonTreeNode* value = nullptr;
    const int32_t code = Convert(token.start, token.length, &value);
    if (code != kJsonParseOk)
      return code;
    m_children.push_back(value);
    if (closing)
      Pop();
    return kJsonParseOk;
  }

  int32_t ObjectStep(size_t& i) {
    if (const std::optional<int32_t> done = BeginStep(i, ExpectKey, kJsonMisplaced))
      return *done;
    Phase key;
    Phase token;
    key.start = i;
    bool inValue = false;
    bool quotedKey = false;
    bool quoteInKey = false;
    bool closed = false;
    char16_t quote = 0;
    size_t j = i;
    for (; j < m_text.size(); ++j) {
      const char16_t c = Unit(j);
      Phase& phase = inValue ? token : key;
      if (!quote && IsBlank(c)) {
        phase.Blank(j);
        continue;
      }
      if (IsQuote(c) && !quote) {
        quote = c;
        quoteInKey = !inValue;
        if (inValue) {
          token.Count(1);
        } else {
          if (key.length != 0)
            return Fail(kJsonMisplaced, j + 1);
          key.start = j + 1;  // the quote is not part of the key
        }
        continue;
      }
      if (quote && c == quote) {
        quote = 0;
        if (inValue)
          token.Count(1);
        else
          quotedKey = true;
        continue;
      }
      if (c == u'\\') {
        const size_t width = EscapeWidth(j);
        phase.Count(width);
        j += width - 1;
        continue;
      }
      if (!quote) {
        if (c == u':' && !inValue) {
          if (key.length == 0 && !quotedKey)
            return Fail(kJsonMisplaced, j);
          inValue = true;
          token.start = j + 1;
          m_stack.SetTopState(ExpectValue);
          m_pendingKeyStart = key.start;
          m_pendingKeyLength = key.length;
          continue;
        }
        if (c == u'{' || c == u'[')
          return OpenInValue(token, j, i);
        if (c == u'}') {
          // The object closes after its last member is in.
          closed = true;
          if (key.length == 0 && !quotedKey) {
            Pop();
            i = j;
            return kJsonParseOk;
          }
          break;
        }
        if (c == u',')
          break;
        if (!inValue && quotedKey)
          return Fail(kJsonMisplaced, j);
      }
      phase.Count(1);
    }
    i = j;
    if (key.length == 0 && token.length != 0 && !quotedKey)
      return Fail(kJsonMisplaced, key.start);
    if (key.length != 0 && token.length == 0)
      return Fail(kJsonBadValue, token.start);
    if (quote)
      return Fail(kJsonOpenQuote, quoteInKey ? key.start : token.start);
    if (key.innerBlank)
      return Fail(kJsonMisplaced, key.start);
    if (token.innerBlank)
      return Fail(kJsonBadValue, token.start);
    JsonTreeNode* value = nullptr;
    const int32_t code = Convert(token.start, token.length, &value);
    if (code != kJsonParseOk)
      return code;
    // A key given twice keeps its first place and takes the last value (when
    // the object closes).
    PutKey(value, key.start, key.length);
    m_children.push_back(value);
    m_pendingKeyStart = kNoKey;
    m_pendingKeyLength = 0;
    if (closed)
      Pop();
    else
      m_stack.SetTopState(ExpectKey);
    return kJsonParseOk;
  }

  // A whole text that is one number token, its first unit at `first`: a blank
  // between its units is refused as inside a container, where the written
  // number would have to stand.
  int32_t CheckLoneNumber(size_t first) {
    if (IsQuote(Unit(first)))
      return kJsonParseOk;
    Phase token;
    token.start = first;
    for (size_t j = first; j < m_text.size(); ++j) {
      if (IsBlank(Unit(j)))
        token.Blank(j);
      else
        token.Count(1);
    }
    const int32_t kind = ClassifyJsonToken(Wide(0, m_text.size(), m_wideToken));
    if (token.innerBlank && (kind == 1 || kind == 2))
      return Fail(kJsonBadValue, first);
    return kJsonParseOk;
  }

  // Makes the node of one value token.
  int32_t Convert(size_t start, size_t length, JsonTreeNode** node) {
    const std::u16string_view token = Wide(start, length, m_wideToken);
    const bool quoted = !token.empty() && IsQuote(token[0]);
    if (quoted && (token.size() < 2 || token.back() != token[0]))
      return Fail(kJsonBadValue, start);
    const int32_t kind = quoted ? 4 : ClassifyJsonToken(token);
    if (kind == 255)
      return Fail(kJsonBadValue, start);
    JsonTreeNode* made = MakeNode(start);
    if (!made)
      return kJsonNoMemory;
    switch (kind) {
      case 4: {
        std::u16string_view inner = token.substr(1, token.size() - 2);
        if (inner.find(u'\\') != std::u16string_view::npos) {
          // Unescaped with its quotes, as a backslash before the closing
          // quote is read with them.
          m_scratch.assign(token);
          UnescapeJsonText(m_scratch, (m_options & kJsonDecodeUnicodeEscapes) != 0);
          inner = std::u16string_view(m_scratch).substr(
              1, m_scratch.size() >= 2 ? m_scratch.size() - 2 : 0);
        }
        SetParsedString(made, inner);
        break;
      }
      case 3:
        made->value.b = token == u"true" ? 1 : 0;
        made->type = JsonNodeType::Bool;
        break;
      case 1:
      case 2:
        SetParsedNumber(made, kind == 1, token);
        break;
      default:
        break;
    }
    *node = made;
    return kJsonParseOk;
  }

  static constexpr uint32_t kKnownKeys = 256;

  JsonTreeNode* m_target;
  std::basic_string_view<Char> m_text;
  int32_t m_options;
  JsonParseStack m_stack;
  size_t m_pendingKeyStart = kNoKey;
  size_t m_pendingKeyLength = 0;
  size_t m_errorPosition = 0;
  size_t m_nodeBudget;
  size_t m_nodesMade = 0;
  std::u16string m_scratch;
  std::u16string m_wideKey;               // a key widened from bytes
  std::u16string m_wideToken;             // a value token widened from bytes
  JsonArena* m_arena = nullptr;           // made with the first node, held until the end
  std::vector<JsonTreeNode*> m_children;  // made, not yet linked, in order
  std::vector<size_t> m_firstChild;       // per open container: its first child
  JsonKey m_knownKeys[kKnownKeys];        // the last key of each hash slot
};

}  // namespace

int32_t ParseJsonUtf16(JsonTreeNode* target, std::u16string_view text, int32_t options,
                       int32_t* errorPosition) {
  int32_t ignored = 0;
  if (!errorPosition)
    errorPosition = &ignored;
  *errorPosition = 0;
  const size_t nul = text.find(u'\0');
  if (nul != std::u16string_view::npos)
    text = text.substr(0, nul);
  if (!target || text.empty())
    return kJsonNoInput;
  ParseRun<char16_t> run(target, text, options);
  return run.Run(errorPosition);
}

bool IsAsciiJsonText(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

int32_t ParseJsonAscii(JsonTreeNode* target, std::string_view text, int32_t options,
                       int32_t* errorPosition) {
  int32_t ignored = 0;
  if (!errorPosition)
    errorPosition = &ignored;
  *errorPosition = 0;
  text = text.substr(0, text.find('\0'));
  if (!target || text.empty())
    return kJsonNoInput;
  ParseRun<char> run(target, text, options);
  return run.Run(errorPosition);
}

void UnescapeJsonText(std::u16string& text, bool decodeUnicode) {
  size_t w = 0;
  size_t r = 0;
  const size_t n = text.size();
  while (r < n) {
    const char16_t c = text[r];
    if (c != u'\\' || r + 1 >= n) {
      text[w++] = c;
      ++r;
      continue;
    }
    const char16_t next = text[r + 1];
    switch (next) {
      case u'\\':
      case u'/':
      case u'"':
        text[w++] = next;
        r += 2;
        break;
      case u'b':
      case u't':
      case u'r':
      case u'f':
        text[w++] = next == u'b' ? u'\b' : next == u't' ? u'\t' : next == u'r' ? u'\r' : u'\f';
        r += 2;
        break;
      case u'n':
        if (w != 0 && text[w - 1] != u'\r')
          text[w++] = u'\r';  // only when the escape does not follow a CR
        text[w++] = u'\n';
        r += 2;
        break;
      case u'u': {
        int unit = 0;
        bool hex = decodeUnicode && r + 5 < n;
        for (size_t k = 2; hex && k < 6; ++k) {
          const int digit = HexDigitValue(text[r + k]);
          hex = digit >= 0;
          unit = unit * 16 + digit;
        }
        if (!hex) {
          text[w++] = c;
          ++r;
          break;
        }
        if (unit != 0)
          text[w++] = static_cast<char16_t>(unit);
        r += 6;
        break;
      }
      default:
        text[w++] = c;
        ++r;
        break;
    }
  }
  text.resize(w);
}

int32_t ClassifyJsonToken(std::u16string_view token) {
  if (token == u"null")
    return 0;
  if (token == u"true" || token == u"false")
    return 3;
  bool fractional = false;
  if (IsJsonNumber(token, &fractional))
    return fractional ? 1 : 2;
  return 255;
}

bool IsJsonNumber(std::u16string_view token, bool* fractional) {
  bool first = true;
  int points = 0;
  int exponents = 0;
  int signs = 0;
  for (const char16_t c : token) {
    if (c <= 32)
      continue;
    const bool digit = c >= u'0' && c <= u'9';
    if (first) {
      if (!digit && c != u'+' && c != u'-' && c != u'.')
        return false;
      points += c == u'.';
      first = false;
      continue;
    }
    if (c == u'.')
      ++points;
    else if (c == u'e' || c == u'E')
      ++exponents;
    else if (c == u'+' || c == u'-')
      ++signs;
    else if (!digit)
      return false;
  }
  if (first || points > 1 || exponents > 1 || signs > 1)
    return false;
  if (fractional)
    *fractional = points > 0 || exponents > 0 || signs > 0;
  return true;
}
