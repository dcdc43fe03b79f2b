// An owning COM interface pointer: one reference, released when it goes.
#pragma once
#include <unknwn.h>

#include <utility>

namespace klarex {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(T* owned) : m_p(owned) {}
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr& other) : m_p(other.m_p) {
    if (m_p) m_p->AddRef();
  }
  ComPtr& operator=(const ComPtr& other) {
    if (this != &other) {
      if (other.m_p) other.m_p->AddRef();
      reset(other.m_p);
    }
    return *this;
  }
  ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) reset(std::exchange(other.m_p, nullptr));
    return *this;
  }

  T* get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }

  // Releases the held reference and takes over `owned`.
  void reset(T* owned = nullptr) {
    if (T* old = std::exchange(m_p, owned)) old->Release();
  }
  // Gives the reference to the caller.
  T* release() { return std::exchange(m_p, nullptr); }
  // For creation calls that hand out a reference through an out parameter.
  T** put() {
    reset();
    return &m_p;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  // QueryInterface for another interface of the same object; empty if it has none.
  template <typename U>
  ComPtr<U> As() const {
    ComPtr<U> other;
    if (m_p) m_p->QueryInterface(__uuidof(U), other.put_void());
    return other;
  }

 private:
  T* m_p = nullptr;
};

}  // namespace klarex
