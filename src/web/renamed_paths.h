#pragma once
// The items renamed since start-up: a table of text values keyed by text. A
// successful single rename stores "已修改过" under the item's fs_id, and with
// the skip option ticked an item whose fs_id is stored is passed over.
// Any thread: every operation takes the table's own lock.

#include <map>
#include <mutex>
#include <string>

class RenamedPathTable {
 public:
  void Set(const std::string& key, const std::string& value);
  // The stored value, empty when the key is not stored.
  std::string Get(const std::string& key) const;
  void Clear();

 private:
  mutable std::mutex m_mutex;
  std::map<std::string, std::string> m_values;
};

// The mark a successful rename stores.
inline constexpr const char* kRenamedMark = "已修改过";

extern RenamedPathTable g_renamedPaths;
