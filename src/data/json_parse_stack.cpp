#include "data/json_parse_stack.h"

namespace {
constexpr size_t kInitialRoom = 1024;
}

JsonParseStack::JsonParseStack(size_t maxEntries) : m_maxEntries(maxEntries) {
  m_entries.reserve(maxEntries < kInitialRoom ? maxEntries : kInitialRoom);
}

bool JsonParseStack::Push(JsonTreeNode* node, int32_t state) {
  if (m_entries.size() >= m_maxEntries)
    return false;
  if (m_entries.size() == m_entries.capacity())
    m_entries.reserve(m_entries.capacity() * 2 + 1);
  m_entries.push_back({node, state});
  return true;
}

JsonParseStack::Entry JsonParseStack::Peek() const {
  return m_entries.empty() ? Entry{} : m_entries.back();
}

void JsonParseStack::SetTop(JsonTreeNode* node, int32_t state) {
  if (!m_entries.empty())
    m_entries.back() = {node, state};
}

void JsonParseStack::SetTopState(int32_t state) {
  if (!m_entries.empty())
    m_entries.back().state = state;
}

JsonParseStack::Entry JsonParseStack::Pop() {
  if (m_entries.empty())
    return {};
  const Entry top = m_entries.back();
  m_entries.pop_back();
  return top;
}
