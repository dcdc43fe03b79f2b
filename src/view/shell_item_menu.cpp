#include "view/shell_item_menu.h"

#include <shlwapi.h>

#include "../res/ids_main.h"
#include "framework/language.h"
#include "framework/unexpected_error.h"
#include "view/drag_out.h"

namespace klarex {

namespace {

constexpr UINT kFirstShellCommand = 1;
constexpr UINT kLastShellCommand = 10000;
constexpr wchar_t kRoutingProperty[] = L"KlarexShellMenuRouting";

// While it lives, the window's owner-draw and menu messages go to the shell's
// menu first: the shell draws its own items (Send To, Open With...) through
// these interfaces. The window procedure finds it through a window property.
class CShellMenuRouting {
 public:
  CShellMenuRouting(HWND window, IContextMenu2* menu2, IContextMenu3* menu3)
      : m_window(window), m_menu2(menu2), m_menu3(menu3) {
    if (!menu2 && !menu3) return;
    ::SetPropW(window, kRoutingProperty, this);
    m_previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~CShellMenuRouting() {
    if (!m_previous) return;
    ::SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    ::RemovePropW(m_window, kRoutingProperty);
  }
  CShellMenuRouting(const CShellMenuRouting&) = delete;
  CShellMenuRouting& operator=(const CShellMenuRouting&) = delete;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Guarded<LRESULT>(0, [&] {
      auto* self = static_cast<CShellMenuRouting*>(::GetPropW(hwnd, kRoutingProperty));
      return self ? self->Message(hwnd, msg, wParam, lParam)
                  : ::DefWindowProcW(hwnd, msg, wParam, lParam);
    });
  }

  LRESULT Message(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
      case WM_DRAWITEM:
      case WM_MEASUREITEM:
        if (wParam != 0) break;
        [[fallthrough]];
      case WM_INITMENUPOPUP:
        if (m_menu2) {
          m_menu2->HandleMenuMsg(msg, wParam, lParam);
        } else if (m_menu3) {
          m_menu3->HandleMenuMsg(msg, wParam, lParam);
        }
        return msg == WM_INITMENUPOPUP ? 0 : TRUE;
      case WM_MENUCHAR:
        if (m_menu3) {
          LRESULT result = 0;
          m_menu3->HandleMenuMsg2(msg, wParam, lParam, &result);
          return result;
        }
        break;
      default:
        break;
    }
    return ::CallWindowProcW(m_previous, hwnd, msg, wParam, lParam);
  }

  HWND m_window;
  IContextMenu2* m_menu2;
  IContextMenu3* m_menu3;
  WNDPROC m_previous = nullptr;
};

// Parent folder and a copy of the last identifier of an absolute list.
HRESULT BindToParent(PCIDLIST_ABSOLUTE item, ComPtr<IShellFolder>& folder, PITEMID_CHILD* last) {
  if (!item || ILIsEmpty(item)) return E_POINTER;
  PCUITEMID_CHILD child = nullptr;
  HRESULT hr = ::SHBindToParent(item, IID_IShellFolder, folder.put_void(), &child);
  if (FAILED(hr)) return hr;
  *last = static_cast<PITEMID_CHILD>(::ILClone(child));
  if (!*last) {
    folder.reset();
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
  Clear();
  if (m_menu) ::DestroyMenu(m_menu);
}

void CShellItemMenu::Clear() {
  m_folder.reset();
  for (PITEMID_CHILD item : m_items) ::ILFree(item);
  m_items.clear();
}

bool CShellItemMenu::SetObjects(PCIDLIST_ABSOLUTE item) {
  Clear();
  PITEMID_CHILD last = nullptr;
  if (FAILED(BindToParent(item, m_folder, &last))) return false;
  m_items.push_back(last);
  return true;
}

bool CShellItemMenu::SetObjects(const std::vector<std::wstring>& paths) {
  Clear();
  // Items are held relative to the first one's folder, which therefore must be theirs too.
  if (paths.empty() || !PathsShareOneFolder(paths)) return false;
  for (const auto& path : paths) {
    PIDLIST_ABSOLUTE absolute = ::ILCreateFromPathW(path.c_str());
    if (!absolute) {
      if (!m_folder) return false;
      continue;
    }
    ComPtr<IShellFolder> folder;
    PITEMID_CHILD last = nullptr;
    if (SUCCEEDED(BindToParent(absolute, folder, &last))) {
      m_items.push_back(last);
      if (!m_folder) m_folder = std::move(folder);
    }
    ::ILFree(absolute);
    if (!m_folder) return false;
  }
  return !m_items.empty();
}

UINT CShellItemMenu::ShowContextMenu(HWND window, POINT point,
                                     const std::vector<std::pair<UINT, std::wstring>>& commands) {
  if (!m_folder || m_items.empty()) return 0;
  ComPtr<IContextMenu> menu1;
  if (FAILED(m_folder->GetUIObjectOf(nullptr, static_cast<UINT>(m_items.size()),
                                     const_cast<PCUITEMID_CHILD_ARRAY>(m_items.data()),
                                     IID_IContextMenu, nullptr, menu1.put_void())) ||
      !menu1) {
    return 0;
  }
  // The richest interface the menu has: the shell's own items need 2 or 3.
  ComPtr<IContextMenu3> menu3 = menu1.As<IContextMenu3>();
  ComPtr<IContextMenu2> menu2 = menu3 ? ComPtr<IContextMenu2>() : menu1.As<IContextMenu2>();
  IContextMenu* menu = menu3 ? menu3.get() : menu2 ? menu2.get() : menu1.get();

  if (m_menu) ::DestroyMenu(m_menu);
  m_menu = ::CreatePopupMenu();
  if (!m_menu ||
      FAILED(menu->QueryContextMenu(m_menu, static_cast<UINT>(::GetMenuItemCount(m_menu)),
                                    kFirstShellCommand, kLastShellCommand, CMF_EXPLORE)))
    return 0;
  if (!commands.empty()) ::AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
  for (const auto& [id, text] : commands) ::AppendMenuW(m_menu, MF_STRING, id, text.c_str());
  UINT result = 0;
  {
    CShellMenuRouting routing(window, menu2.get(), menu3.get());
    result = static_cast<UINT>(
        ::TrackPopupMenu(m_menu, TPM_RETURNCMD, point.x, point.y, 0, window, nullptr));
  }
  if (result >= kFirstShellCommand && result <= kLastShellCommand) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(result - kFirstShellCommand);
    info.nShow = SW_SHOWNORMAL;
    menu->InvokeCommand(&info);
    result = 0;
  }
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
  static const Entry kEntries[] = {{ID_RECYCLE, L"Move to &Recycle Bin\tDel"},
                                   {ID_DELETE, L"&Delete\tShift+Del"},
                                   {0, nullptr},
                                   {ID_SELECT_ALL, L"Select &All\tCtrl+A"},
                                   {ID_UNSELECT_ALL, L"&Unselect All\tCtrl+U"},
                                   {ID_INVERT_SELECTION, L"&Invert Selection"},
                                   {0, nullptr},
                                   {ID_KEEP, nullptr}};
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return nullptr;
  for (const Entry& entry : kEntries) {
    if (!entry.id) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    wchar_t text[256] = {};
    if (!entry.text) {
      lstrcpynW(text, KeepCommandText().c_str(), 256);
    } else if (!mainMenu || ::GetMenuStringW(mainMenu, entry.id, text, 256, MF_BYCOMMAND) <= 0) {
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
  if (!ready) return;
  const UINT id = shellMenu.ShowContextMenu(list, point, {{ID_KEEP, KeepCommandText()}});
  if (id == ID_KEEP) ::SendMessageW(::GetAncestor(list, GA_ROOT), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::wstring KeepCommandText() { return GetLangString(L"Keep", L"1", L"&Keep (never list again)"); }

}  // namespace klarex
