#include "framework/wnd.h"

#include "framework/unexpected_error.h"

namespace klarex {

namespace {
const wchar_t kObjectProp[] = L"klarex.object";
}

HINSTANCE ModuleInstance() { return ::GetModuleHandleW(nullptr); }

CWnd::~CWnd() {
  if (m_hwnd && ::IsWindow(m_hwnd)) {
    HWND hwnd = m_hwnd;
    Detach();
    ::DestroyWindow(hwnd);
  }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<CWnd*>(::GetPropW(hwnd, kObjectProp)) : nullptr;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    int x, int y, int w, int h, HWND parent, HMENU menuOrId, HICON icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(ModuleInstance(), className, &wc)) {
    wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CWnd::StaticProc;
    wc.hInstance = ModuleInstance();
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (!::RegisterClassExW(&wc)) return false;
  }
  HWND hwnd = ::CreateWindowExW(exStyle, className, title, style, x, y, w, h, parent, menuOrId,
                                ModuleInstance(), this);
  return hwnd != nullptr;
}

bool CWnd::Subclass(HWND hwnd) {
  if (!hwnd || FromHandle(hwnd)) return false;
  m_hwnd = hwnd;
  ::SetPropW(hwnd, kObjectProp, this);
  m_previousProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
  return true;
}

void CWnd::Detach() {
  if (!m_hwnd) return;
  if (m_previousProc) {
    ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    m_previousProc = nullptr;
  }
  ::RemovePropW(m_hwnd, kObjectProp);
  m_hwnd = nullptr;
}

LRESULT CWnd::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_previousProc) return ::CallWindowProcW(m_previousProc, m_hwnd, msg, wp, lp);
  return ::DefWindowProcW(m_hwnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return DefaultProc(msg, wp, lp); }

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  // Nothing of any type may unwind through the system's message dispatch.
  LRESULT result = 0;
  try {
    result = WindowProc(msg, wp, lp);
  } catch (...) {
    // A handler that failed while painting would be asked to paint again and again.
    if (msg == WM_PAINT) ::ValidateRect(m_hwnd, nullptr);
    ReportUnexpectedError(std::current_exception());
  }
  if (msg == WM_NCDESTROY) Detach();
  return result;
}

LRESULT CALLBACK CWnd::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* self = FromHandle(hwnd);
  if (!self && msg == WM_NCCREATE) {
    self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    if (self) {
      self->m_hwnd = hwnd;
      ::SetPropW(hwnd, kObjectProp, self);
    }
  }
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* self = FromHandle(hwnd);
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

bool ReflectNotify(LPARAM lp, LRESULT& result) {
  auto* header = reinterpret_cast<NMHDR*>(lp);
  CWnd* child = header ? CWnd::FromHandle(header->hwndFrom) : nullptr;
  if (!child) return false;
  return Guarded(false, [&] { return child->OnReflectedNotify(header, result); });
}

}  // namespace klarex
