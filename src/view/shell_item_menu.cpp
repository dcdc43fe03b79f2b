#include "view/shell_item_menu.h"

#include <shlwapi.h>

#include "framework/unexpected_error.h"
#include "view/drag_out.h"

namespace klarex {

namespace {

constexpr UINT kFirstShellCommand = 1;
constexpr UINT kLastShellCommand = 10000;

// Valid only while a shell menu is tracked: the shell draws its owner-drawn
// items (Send To, Open With...) through these interfaces.
struct ShellMenuHook {
  WNDPROC previous = nullptr;
  IContextMenu2* menu2 = nullptr;
  IContextMenu3* menu3 = nullptr;
};
ShellMenuHook g_hook;

LRESULT ShellMenuMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      if (wParam != 0) break;
      [[fallthrough]];
    case WM_INITMENUPOPUP:
      if (g_hook.menu2) {
        g_hook.menu2->HandleMenuMsg(msg, wParam, lParam);
      } else if (g_hook.menu3) {
        g_hook.menu3->HandleMenuMsg(msg, wParam, lParam);
      }
      return msg == WM_INITMENUPOPUP ? 0 : TRUE;
    case WM_MENUCHAR:
      if (g_hook.menu3) {
        LRESULT result = 0;
        g_hook.menu3->HandleMenuMsg2(msg, wParam, lParam, &result);
        return result;
      }
      break;
    default:
      break;
  }
  return ::CallWindowProcW(g_hook.previous, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ShellMenuHookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Guarded<LRESULT>(0, [&] { return ShellMenuMessage(hwnd, msg, wParam, lParam); });
}

// Parent folder and a copy of the last identifier of an absolute list.
HRESULT BindToParent(PCIDLIST_ABSOLUTE item, IShellFolder** folder, PITEMID_CHILD* last) {
  if (!item || ILIsEmpty(item)) return E_POINTER;
  PCUITEMID_CHILD child = nullptr;
  HRESULT hr = ::SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(folder), &child);
  if (FAILED(hr)) return hr;
  *last = static_cast<PITEMID_CHILD>(::ILClone(child));
  if (!*last) {
    (*folder)->Release();
    *folder = nullptr;
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

std::wstring ParentOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

CShellItemMenu::~CShellItemMenu() {
  Release();
  if (m_menu) ::DestroyMenu(m_menu);
}

void CShellItemMenu::Release() {
  if (m_folder && m_releaseFolder) m_folder->Release();
  m_folder = nullptr;
  m_releaseFolder = false;
  for (PITEMID_CHILD item : m_items) ::ILFree(item);
  m_items.clear();
}

bool CShellItemMenu::SetObjects(PCIDLIST_ABSOLUTE item) {
  Release();
  PITEMID_CHILD last = nullptr;
  if (FAILED(BindToParent(item, &m_folder, &last))) return false;
  m_items.push_back(last);
  m_releaseFolder = true;
  return true;
}

bool CShellItemMenu::SetObjects(const std::vector<std::wstring>& paths) {
  Release();
  // Items are held relative to the first one's folder, which therefore must be theirs too.
  if (paths.empty() || !PathsShareOneFolder(paths)) return false;
  for (const auto& path : paths) {
    PIDLIST_ABSOLUTE absolute = ::ILCreateFromPathW(path.c_str());
    if (!absolute) {
      if (!m_folder) return false;
      continue;
    }
    IShellFolder* folder = nullptr;
    PITEMID_CHILD last = nullptr;
    if (SUCCEEDED(BindToParent(absolute, &folder, &last))) {
      m_items.push_back(last);
      if (!m_folder) {
        m_folder = folder;
        m_releaseFolder = true;
      } else {
        folder->Release();
      }
    }
    ::ILFree(absolute);
    if (!m_folder) return false;
  }
  return !m_items.empty();
}

UINT CShellItemMenu::ShowContextMenu(HWND window, POINT point) {
  if (!m_folder || m_items.empty()) return 0;
  IContextMenu* menu1 = nullptr;
  if (FAILED(m_folder->GetUIObjectOf(nullptr, static_cast<UINT>(m_items.size()),
                                     const_cast<PCUITEMID_CHILD_ARRAY>(m_items.data()),
                                     IID_IContextMenu, nullptr,
                                     reinterpret_cast<void**>(&menu1))) ||
      !menu1) {
    return 0;
  }
  IContextMenu* menu = menu1;
  IContextMenu2* menu2 = nullptr;
  IContextMenu3* menu3 = nullptr;
  if (SUCCEEDED(menu1->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&menu3)))) {
    menu = menu3;
  } else if (SUCCEEDED(
                 menu1->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&menu2)))) {
    menu = menu2;
  }
  if (menu != menu1) menu1->Release();

  if (m_menu) ::DestroyMenu(m_menu);
  m_menu = ::CreatePopupMenu();
  UINT result = 0;
  if (m_menu &&
      SUCCEEDED(menu->QueryContextMenu(m_menu, static_cast<UINT>(::GetMenuItemCount(m_menu)),
                                       kFirstShellCommand, kLastShellCommand, CMF_EXPLORE))) {
    g_hook.previous = nullptr;
    if (menu2 || menu3) {
      g_hook.menu2 = menu2;
      g_hook.menu3 = menu3;
      g_hook.previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
          window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ShellMenuHookProc)));
    }
    result = static_cast<UINT>(
        ::TrackPopupMenu(m_menu, TPM_RETURNCMD, point.x, point.y, 0, window, nullptr));
    if (g_hook.previous) {
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hook.previous));
      g_hook.previous = nullptr;
    }
    if (result >= kFirstShellCommand && result <= kLastShellCommand) {
      CMINVOKECOMMANDINFO info{};
      info.cbSize = sizeof(info);
      info.lpVerb = MAKEINTRESOURCEA(result - kFirstShellCommand);
      info.nShow = SW_SHOWNORMAL;
      menu->InvokeCommand(&info);
      result = 0;
    }
  }
  menu->Release();
  g_hook.menu2 = nullptr;
  g_hook.menu3 = nullptr;
  return result;
}

bool PathsShareOneFolder(const std::vector<std::wstring>& paths) {
  if (paths.empty()) return true;
  const std::wstring first = ParentOf(paths.front());
  for (const auto& path : paths) {
    if (::lstrcmpiW(ParentOf(path).c_str(), first.c_str()) != 0) return false;
  }
  return true;
}

HMENU CreateMultiFolderMenu(HMENU mainMenu) {
  struct Entry {
    UINT id;
    const wchar_t* text;
  };
  static const Entry kEntries[] = {{158, L"Move to &Recycle Bin\tDel"},
                                   {157, L"&Delete\tShift+Del"},
                                   {0, nullptr},
                                   {161, L"Select &All\tCtrl+A"},
                                   {162, L"&Unselect All\tCtrl+U"},
                                   {163, L"&Invert Selection"}};
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return nullptr;
  for (const Entry& entry : kEntries) {
    if (!entry.id) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    wchar_t text[256] = {};
    if (!mainMenu || ::GetMenuStringW(mainMenu, entry.id, text, 256, MF_BYCOMMAND) <= 0) {
      lstrcpynW(text, entry.text, 256);
    }
    ::AppendMenuW(menu, MF_STRING, entry.id, text);
  }
  return menu;
}

namespace {

// Tracks one of the program's own menus for `list` (which updates its command
// states) and hands the chosen command to the main window, the usual route.
void TrackCommandMenu(HMENU menu, HWND list, POINT point) {
  const UINT id = static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, point.x, point.y, 0, list, nullptr));
  if (id) ::SendMessageW(::GetAncestor(list, GA_ROOT), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

}  // namespace

void ShowListContextMenu(HWND list, HMENU mainMenu, bool busy) {
  if (busy) return;
  POINT point{};
  ::GetCursorPos(&point);
  const std::vector<std::wstring> paths = SelectedRowPaths(list);
  if (paths.empty()) {
    if (HMENU edit = mainMenu ? ::GetSubMenu(mainMenu, 1) : nullptr) {
      TrackCommandMenu(edit, list, point);
    }
    return;
  }
  if (!PathsShareOneFolder(paths)) {
    // The shell can describe only items of one folder; rather than act on a
    // part of the selection, offer the program's own commands for all of it.
    if (HMENU menu = CreateMultiFolderMenu(mainMenu)) {
      TrackCommandMenu(menu, list, point);
      ::DestroyMenu(menu);
    }
    return;
  }
  CShellItemMenu shellMenu;
  bool ready = false;
  if (paths.size() == 1) {
    if (PIDLIST_ABSOLUTE item = ::ILCreateFromPathW(paths.front().c_str())) {
      ready = shellMenu.SetObjects(item);
      ::ILFree(item);
    }
  } else {
    ready = shellMenu.SetObjects(paths);
  }
  if (ready) shellMenu.ShowContextMenu(list, point);
}

}  // namespace klarex
