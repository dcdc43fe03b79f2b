// RAII owners for Win32 handles. Non-copyable, movable; `get()` borrows.
#pragma once
#include <windows.h>

#include <utility>

namespace klarex {

template <typename Traits>
class UniqueHandle {
 public:
  using handle_type = typename Traits::handle_type;

  UniqueHandle() = default;
  explicit UniqueHandle(handle_type h) : m_h(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  handle_type get() const { return m_h; }
  explicit operator bool() const { return Traits::valid(m_h); }
  handle_type release() { return std::exchange(m_h, Traits::invalid()); }
  void reset(handle_type h = Traits::invalid()) {
    if (Traits::valid(m_h)) Traits::close(m_h);
    m_h = h;
  }
  // For APIs that return a handle through an out parameter.
  handle_type* put() {
    reset();
    return &m_h;
  }

 private:
  handle_type m_h = Traits::invalid();
};

struct FindHandleTraits {
  using handle_type = HANDLE;
  static handle_type invalid() { return INVALID_HANDLE_VALUE; }
  static bool valid(handle_type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void close(handle_type h) { ::FindClose(h); }
};
struct FileHandleTraits {
  using handle_type = HANDLE;
  static handle_type invalid() { return INVALID_HANDLE_VALUE; }
  static bool valid(handle_type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void close(handle_type h) { ::CloseHandle(h); }
};
struct KernelHandleTraits {
  using handle_type = HANDLE;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void close(handle_type h) { ::CloseHandle(h); }
};
struct RegKeyTraits {
  using handle_type = HKEY;
  static handle_type invalid() { return nullptr; }
  static bool valid(handle_type h) { return h != nullptr; }
  static void close(handle_type h) { ::RegCloseKey(h); }
};

using FindHandle = UniqueHandle<FindHandleTraits>;      // FindFirstFileW
using FileHandle = UniqueHandle<FileHandleTraits>;      // CreateFileW
using KernelHandle = UniqueHandle<KernelHandleTraits>;  // tokens, threads, events
using RegKey = UniqueHandle<RegKeyTraits>;

}  // namespace klarex
