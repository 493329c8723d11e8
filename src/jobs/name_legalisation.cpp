#include "jobs/name_legalisation.h"

#include <string_view>

#include "foundation/text_search.h"

namespace {

// Every occurrence of `from`, left to right, without overlaps; a match never
// starts on the second byte of a double-byte character.
void ReplaceEvery(std::string& text, std::string_view from, std::string_view to) {
  std::string out;
  int copied = 0;  // bytes of `text` already handled
  for (int at = FindText(text, from, 1); at > 0;
       at = FindText(text, from, at + static_cast<int>(from.size()))) {
    out.append(text, static_cast<std::size_t>(copied), static_cast<std::size_t>(at - 1 - copied));
    out.append(to);
    copied = at - 1 + static_cast<int>(from.size());
    if (copied >= static_cast<int>(text.size()))
      break;
  }
  if (copied == 0 && out.empty())
    return;
  out.append(text, static_cast<std::size_t>(copied));
  text = std::move(out);
}

}  // namespace

std::string MakeLegalName(const std::string& name) {
  static constexpr std::string_view kReplacements[][2] = {
      {":", "："}, {"|", ""}, {"<", "《"}, {">", "》"},
      {"?", "？"}, {"*", ""}, {"/", ""},   {"'", "’"},
  };
  // Most names hold none of the bytes: nothing to search character by character.
  std::string legal = name;
  if (legal.find_first_of(":|<>?*/'") == std::string::npos)
    return legal;
  for (const auto& [from, to] : kReplacements)
    ReplaceEvery(legal, from, to);
  return legal;
}

std::string LegalNewName(const std::string& listed, const std::string& built) {
  return built == listed ? listed : MakeLegalName(built);
}

std::string RestoreEncodedPunctuation(const std::string& text) {
  return text;
}
