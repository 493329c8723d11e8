#include "foundation/locked_queue.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kLengthSize = 4;

std::uint32_t ReadLength(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

void WriteLength(char* p, std::uint32_t n) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
}

std::string IntBytes(std::int32_t value) {
  std::string bytes(4, '\0');
  WriteLength(bytes.data(), static_cast<std::uint32_t>(value));
  return bytes;
}

}  // namespace

LockedQueue::LockedQueue() {
  Init();
}

LockedQueue::~LockedQueue() {
  Destroy();
}

LockedQueue::LockedQueue(const LockedQueue& other) {
  std::lock_guard lock(other.m_lock);
  m_buffer = other.m_buffer;
  m_growStep = other.m_growStep;
  m_writeOffset = other.m_writeOffset;
  m_readOffset = other.m_readOffset;
  m_count = other.m_count.load();
}

bool LockedQueue::Init() {
  std::lock_guard lock(m_lock);
  m_growStep = kDefaultGrowStep;
  m_writeOffset = 0;
  m_readOffset = 0;
  m_count = 0;
  try {
    m_buffer.assign(m_growStep, '\0');
  } catch (const std::bad_alloc&) {
    m_buffer.clear();
    return false;
  }
  return true;
}

void LockedQueue::Destroy() {
  std::lock_guard lock(m_lock);
  std::vector<char>().swap(m_buffer);
  m_writeOffset = 0;
  m_readOffset = 0;
  m_count = 0;
}

bool LockedQueue::PushBytes(std::string_view bytes, bool unique) {
  return Push(bytes, unique, false);
}

bool LockedQueue::PushText(std::string_view text, bool unique) {
  return Push(text, unique, false);
}

bool LockedQueue::PushInt(std::int32_t value, bool unique) {
  return Push(IntBytes(value), unique, true);
}

bool LockedQueue::Push(std::string_view payload, bool unique, bool asInt) {
  if (payload.size() > 0xFFFFFFF0u)
    return false;
  std::lock_guard lock(m_lock);
  if (unique) {
    // Integers compare only against 4-byte items, so queued texts never pass
    // for integers.
    for (std::size_t at = m_readOffset; at < m_writeOffset;) {
      const std::uint32_t length = ReadLength(m_buffer.data() + at);
      const char* item = m_buffer.data() + at + kLengthSize;
      if (length == payload.size() && std::memcmp(item, payload.data(), length) == 0 &&
          (!asInt || length == 4))
        return false;
      at += kLengthSize + length;
    }
  }
  const std::size_t need = kLengthSize + payload.size();
  if (m_writeOffset + need > m_buffer.size() && !EnsureRoom(need))
    return false;
  WriteLength(m_buffer.data() + m_writeOffset, static_cast<std::uint32_t>(payload.size()));
  if (!payload.empty())
    std::memcpy(m_buffer.data() + m_writeOffset + kLengthSize, payload.data(), payload.size());
  m_writeOffset += need;
  ++m_count;
  return true;
}

bool LockedQueue::Pop(std::string& payload) {
  std::lock_guard lock(m_lock);
  if (m_count < 1) {
    payload.clear();
    return false;
  }
  const std::uint32_t length = ReadLength(m_buffer.data() + m_readOffset);
  m_readOffset += kLengthSize;
  payload.assign(m_buffer.data() + m_readOffset, length);
  m_readOffset += length;
  --m_count;
  if (m_readOffset > m_growStep)
    Compact();
  return true;
}

bool LockedQueue::PopBytes(std::string& out) {
  return Pop(out);
}

bool LockedQueue::PopText(std::string& out) {
  return Pop(out);
}

bool LockedQueue::PopInt(std::int32_t& out) {
  std::string bytes;
  const bool got = Pop(bytes);
  out = bytes.size() >= 4 ? static_cast<std::int32_t>(ReadLength(bytes.data())) : 0;
  return got;
}

bool LockedQueue::EnsureRoom(std::size_t bytesNeeded) {
  if (m_readOffset > 0) {
    std::memmove(m_buffer.data(), m_buffer.data() + m_readOffset, m_writeOffset - m_readOffset);
    m_writeOffset -= m_readOffset;
    m_readOffset = 0;
    if (m_buffer.size() - m_writeOffset >= bytesNeeded)
      return true;
  }
  try {
    m_buffer.resize(m_buffer.size() + m_growStep + bytesNeeded, '\0');
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

void LockedQueue::Compact() {
  std::memmove(m_buffer.data(), m_buffer.data() + m_readOffset, m_writeOffset - m_readOffset);
  m_writeOffset -= m_readOffset;
  m_readOffset = 0;
  m_buffer.resize(m_writeOffset + m_growStep);
  m_buffer.shrink_to_fit();
}

void LockedQueue::Clear() {
  std::lock_guard lock(m_lock);
  if (m_count <= 0)
    return;
  m_buffer.assign(m_growStep, '\0');
  m_buffer.shrink_to_fit();
  m_writeOffset = 0;
  m_readOffset = 0;
  m_count = 0;
}

void LockedQueue::SetGrowStep(std::size_t bytes) {
  std::lock_guard lock(m_lock);
  m_growStep = std::max(bytes, kMinGrowStep);
}

std::size_t LockedQueue::Capacity() const {
  std::lock_guard lock(m_lock);
  return m_buffer.size();
}

std::size_t LockedQueue::ReadOffset() const {
  std::lock_guard lock(m_lock);
  return m_readOffset;
}

std::size_t LockedQueue::WriteOffset() const {
  std::lock_guard lock(m_lock);
  return m_writeOffset;
}

std::size_t LockedQueue::GrowStep() const {
  std::lock_guard lock(m_lock);
  return m_growStep;
}

std::string LockedQueue::BufferBytes() const {
  std::lock_guard lock(m_lock);
  return std::string(m_buffer.data(), m_writeOffset);
}
