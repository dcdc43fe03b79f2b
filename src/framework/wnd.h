// Window objects bound to their HWND: a class registered here or an existing
// control subclassed. One window procedure dispatches to the virtual
// WindowProc; no exception leaves it.
#pragma once
#include <windows.h>

#include "framework/window.h"

namespace klarex {

class CWnd : public CWindow {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // Registers `className` once (with this module's instance) and creates the window.
  bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                int y, int w, int h, HWND parent, HMENU menuOrId, HICON icon = nullptr);
  // Binds this object to an existing window (a common control) and takes over
  // its window procedure; DefaultProc then calls the control's own.
  bool Subclass(HWND hwnd);

  // The object bound to a window by this layer, or null.
  static CWnd* FromHandle(HWND hwnd);

  // Notifications a child sent to its parent come back here first (reflection).
  // Return true with `result` set when handled.
  virtual bool OnReflectedNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }

 protected:
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  // Ties this object to the window: a property, and the user data our own
  // procedures read.
  void Bind(HWND hwnd);
  void Detach();

  WNDPROC m_previousProc = nullptr;
};

// Sends a WM_NOTIFY that reached `parent` back to the window object of its
// sender. True when that object handled it.
bool ReflectNotify(LPARAM lp, LRESULT& result);

HINSTANCE ModuleInstance();

}  // namespace klarex
