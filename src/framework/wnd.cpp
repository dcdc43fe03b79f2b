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
  if (!hwnd) return nullptr;
  // A window still on one of our procedures keeps its object in its user data
  // too, which is read in process; the property (a round trip to the window
  // server under Wine) answers for a window subclassed again by others.
  const LONG_PTR proc = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  if (proc == reinterpret_cast<LONG_PTR>(&CWnd::StaticProc) ||
      proc == reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)) {
    return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProp));
}

void CWnd::Bind(HWND hwnd) {
  m_hwnd = hwnd;
  ::SetPropW(hwnd, kObjectProp, this);
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
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
  Bind(hwnd);
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
  ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
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
    if (self) self->Bind(hwnd);
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
