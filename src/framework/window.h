// A non-owning HWND value: the thin base of every window class here.
#pragma once
#include <windows.h>

#include <string>

namespace klarex {

class CWindow {
 public:
  CWindow() = default;
  CWindow(HWND hwnd) : m_hwnd(hwnd) {}  // NOLINT: implicit on purpose, a value wrapper

  HWND Handle() const { return m_hwnd; }
  operator HWND() const { return m_hwnd; }
  bool IsWindow() const { return m_hwnd && ::IsWindow(m_hwnd); }

  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::SendMessageW(m_hwnd, msg, wp, lp);
  }
  bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::PostMessageW(m_hwnd, msg, wp, lp) != FALSE;
  }
  std::wstring Text() const {
    int n = ::GetWindowTextLengthW(m_hwnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    s.resize(static_cast<size_t>(::GetWindowTextW(m_hwnd, s.data(), n + 1)));
    return s;
  }
  void SetText(const std::wstring& text) const { ::SetWindowTextW(m_hwnd, text.c_str()); }
  CWindow Item(int id) const { return ::GetDlgItem(m_hwnd, id); }
  int Id() const { return ::GetDlgCtrlID(m_hwnd); }
  CWindow Parent() const { return ::GetParent(m_hwnd); }
  RECT ClientRect() const {
    RECT r{};
    ::GetClientRect(m_hwnd, &r);
    return r;
  }
  RECT WindowRect() const {
    RECT r{};
    ::GetWindowRect(m_hwnd, &r);
    return r;
  }
  LONG_PTR Style() const { return ::GetWindowLongPtrW(m_hwnd, GWL_STYLE); }
  void SetStyle(LONG_PTR style) const { ::SetWindowLongPtrW(m_hwnd, GWL_STYLE, style); }
  void Enable(bool on) const { ::EnableWindow(m_hwnd, on); }
  bool IsEnabled() const { return ::IsWindowEnabled(m_hwnd) != FALSE; }
  void Show(int cmd) const { ::ShowWindow(m_hwnd, cmd); }
  bool IsVisible() const { return ::IsWindowVisible(m_hwnd) != FALSE; }
  // Its own WS_VISIBLE bit, whether or not its parents are shown.
  bool HasVisibleStyle() const { return m_hwnd && (Style() & WS_VISIBLE) != 0; }
  void Invalidate(bool erase = true) const { ::InvalidateRect(m_hwnd, nullptr, erase); }
  void Update() const { ::UpdateWindow(m_hwnd); }
  void Move(int x, int y, int w, int h, bool repaint = true) const {
    ::MoveWindow(m_hwnd, x, y, w, h, repaint);
  }
  void Destroy() {
    if (m_hwnd) ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
  }

 protected:
  HWND m_hwnd = nullptr;
};

}  // namespace klarex
