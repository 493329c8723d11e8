#pragma once
// NeverDestroyed<T>: storage for a program-wide object that is constructed once
// and never destroyed. Worker threads may still use program-wide objects while
// the process ends; a static destructor running under them would free memory
// they are about to touch. The operating system takes the memory back.

#include <new>
#include <utility>

template <typename T>
class NeverDestroyed {
 public:
  template <typename... Args>
  explicit NeverDestroyed(Args&&... args) {
    new (m_storage) T(std::forward<Args>(args)...);
  }
  // Deliberately leaves the object alive.
  ~NeverDestroyed() = default;
  NeverDestroyed(const NeverDestroyed&) = delete;
  NeverDestroyed& operator=(const NeverDestroyed&) = delete;

  T& Get() { return *std::launder(reinterpret_cast<T*>(m_storage)); }

 private:
  alignas(T) unsigned char m_storage[sizeof(T)];
};
