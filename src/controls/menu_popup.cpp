#include "controls/menu_popup.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

#include "controls/colors.h"
#include "controls/themed_menu.h"
#include "framework/gdi.h"
#include "framework/unexpected_error.h"

namespace klarex {
namespace {

constexpr UINT kMnGetHMenu = 0x01E1;
constexpr UINT kMnSystemMenuPrepare = 0x01E2;
constexpr wchar_t kOldProcProperty[] = L"OldMenuProc";
constexpr int kShadow = 4;
constexpr UINT_PTR kFadeTimer = 0x1234;

// One pop-up menu window while it is shown.
struct CPopupRecord {
  LONG_PTR style = 0;  // styles before the XP look changed them
  LONG_PTR exStyle = 0;
  bool escapePressed = false;
  HMENU menu = nullptr;
  HWND owner = nullptr;  // the frame whose menu bar the pop-up may drop from
  SIZE systemFrame{};    // width and height the original border took
  SIZE lastSize{};       // once shown: the size the window was shown with
  // Screen content behind the shadow bands, taken just before the window shows.
  // The bitmap comes first so that it is deleted after the context it is
  // selected into (a selected bitmap cannot be deleted).
  GdiBitmap behind;
  MemoryDc behindDc;
  RECT behindRect{};
};

// The hook, the pop-up announced by WM_INITMENUPOPUP and the themed windows.
class CPopupSkin {
 public:
  CPopupSkin() = default;
  CPopupSkin(const CPopupSkin&) = delete;
  CPopupSkin& operator=(const CPopupSkin&) = delete;
  // At process exit, after every window is gone.
  ~CPopupSkin() { Stop(); }

  // `onCreation` watches window creation (WH_CBT) for the whole run;
  // `onMessage` watches sent messages (WH_CALLWNDPROC) only while a menu
  // window exists (see WatchMenuWindow).
  void Start(HOOKPROC onCreation, HOOKPROC onMessage);
  void Stop();
  // A menu window of this thread was created or destroyed.
  void WatchMenuWindow(HWND hwnd, bool created);
  // Gives the window its own procedure and styles back and forgets it.
  void Unsubclass(HWND hwnd);

  bool started = false;
  int platform = kWinXpOrLater;
  bool wine = false;
  HHOOK creationHook = nullptr;
  HHOOK hook = nullptr;  // the message hook, while menuWindows is not empty
  HOOKPROC messageProc = nullptr;
  std::set<HWND> menuWindows;
  HMENU pendingMenu = nullptr;
  HWND pendingOwner = nullptr;
  ATOM atom = 0;
  std::map<HWND, std::unique_ptr<CPopupRecord>> windows;
};
// process-wide: the hooks and the subclassed pop-up windows get no context pointer
CPopupSkin g_skin;

bool SystemDrawsShadows() {
  BOOL on = FALSE;
  return ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &on, 0) && on;
}

bool IsMenuWindow(HWND hwnd) {
  wchar_t cls[16] = {};
  return ::GetClassNameW(hwnd, cls, 16) && wcscmp(cls, L"#32768") == 0;
}

RECT WindowRect(HWND hwnd) {
  RECT wr{};
  ::GetWindowRect(hwnd, &wr);
  return wr;
}

void CaptureBehind(CPopupRecord& rec, const RECT& windowRect) {
  int w = windowRect.right - windowRect.left, h = windowRect.bottom - windowRect.top;
  if (w <= 0 || h <= 0 || SystemDrawsShadows()) return;
  WindowDc screen(nullptr);
  rec.behindDc.reset(::CreateCompatibleDC(screen));
  rec.behind.reset(::CreateCompatibleBitmap(screen, w, h));
  if (!rec.behindDc || !rec.behind) return;
  ::SelectObject(rec.behindDc.get(), rec.behind.get());
  ::BitBlt(rec.behindDc.get(), 0, 0, w, h, screen, windowRect.left, windowRect.top, SRCCOPY);
  rec.behindRect = windowRect;
}

// Darkens the screen copy behind the right and bottom bands and paints it.
void PaintShadow(HDC dc, CPopupRecord& rec, int w, int h, const ColorEnv& env) {
  if (env.LowColor()) {
    RECT right{w - 2, kShadow, w, h}, bottom{kShadow, h - 2, w, h};
    FillSolid(dc, right, env.Sys(COLOR_BTNSHADOW));
    FillSolid(dc, bottom, env.Sys(COLOR_BTNSHADOW));
    return;
  }
  if (!rec.behindDc || rec.behindRect.right - rec.behindRect.left != w ||
      rec.behindRect.bottom - rec.behindRect.top != h)
    return;
  static constexpr int kTarget[kShadow] = {135, 165, 195, 225};  // inner to outer
  // Along an edge the first pixels stay untouched, the next ones fade in from
  // 249 towards the band's factor; inner bands fade faster.
  auto fade = [](int target, int step, int along) {
    if (along < kShadow) return 255;
    if (along < 2 * kShadow) return std::max(target, 249 - step * (along - kShadow));
    return target;
  };
  auto shade = [&](int x, int y, int factor) {
    COLORREF c = ::GetPixel(rec.behindDc.get(), x, y);
    if (c == CLR_INVALID) return;
    if (factor < 255) c = Darken(255 - factor, c);
    ::SetPixelV(dc, x, y, c);
  };
  for (int j = 0; j < kShadow; ++j) {
    int x = w - kShadow + j;  // j = 0 is the inner column
    for (int y = 0; y < h; ++y) {
      int factor;
      if (y >= h - kShadow)
        factor = kTarget[std::max(j, y - (h - kShadow))];  // corner: lighter towards the outside
      else
        factor = fade(kTarget[j], 6 * (kShadow - j), y);
      shade(x, y, factor);
    }
  }
  for (int r = 0; r < kShadow; ++r) {
    int y = h - kShadow + r;
    for (int x = 0; x < w - kShadow; ++x) shade(x, y, fade(kTarget[r], 6 * (kShadow - r), x));
  }
}

// Joins the pop-up to the menu-bar item it drops from: the frame's top edge
// under the item takes the open item's colour.
void PaintJoinedEdge(HDC dc, const CPopupRecord& rec, const RECT& wr, const ColorEnv& env) {
  if (!CThemedMenu::FromHandle(rec.menu) || !rec.owner) return;
  HMENU bar = ::GetMenu(rec.owner);
  int count = bar ? ::GetMenuItemCount(bar) : 0;
  for (int pos = 0; pos < count; ++pos) {
    if (::GetSubMenu(bar, pos) != rec.menu) continue;
    RECT item{};
    if (!::GetMenuItemRect(rec.owner, bar, pos, &item)) return;
    if (item.bottom != wr.top && item.bottom + 1 != wr.top) return;
    int left = std::max(item.left, wr.left) - wr.left + 1;
    int right = std::min(item.right, wr.right) - wr.left - 1;
    if (right > left) {
      RECT edge{left, 0, right, 1};
      COLORREF c = env.LowColor()
                       ? env.Sys(COLOR_BTNFACE)
                       : Mix86_14(MenuBarColor(env, MenuBrushColor(bar)), env.Sys(COLOR_WINDOW));
      FillSolid(dc, edge, c);
    }
    return;
  }
}

void PaintFrame(HWND hwnd, HDC dc, CPopupRecord& rec) {
  RECT wr = WindowRect(hwnd);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  ColorEnv env = ColorEnv::Current();
  COLORREF brush = MenuBrushColor(rec.menu);
  COLORREF menuColor = MenuColor(env, brush);
  bool systemShadow = SystemDrawsShadows();
  RECT frame{0, 0, systemShadow ? w : w - kShadow, systemShadow ? h : h - kShadow};
  FrameSolid(dc, frame, env.highContrast ? env.Sys(COLOR_BTNTEXT) : Darken(128, menuColor));
  RECT inner = frame;
  ::InflateRect(&inner, -1, -1);
  FrameSolid(dc, inner, Mix86_14(env.Sys(COLOR_WINDOW), menuColor));
  RECT column{1, 1, 2, frame.bottom - 1};
  FillSolid(dc, column, IconColumnColor(env, brush));
  if (!systemShadow) PaintShadow(dc, rec, w, h, env);
  PaintJoinedEdge(dc, rec, wr, env);
}

void PaintWineMargins(HWND hwnd, const CPopupRecord& rec) {
  int count = ::GetMenuItemCount(rec.menu);
  RECT first{}, last{};
  if (count <= 0 || !::GetMenuItemRect(nullptr, rec.menu, 0, &first) ||
      !::GetMenuItemRect(nullptr, rec.menu, count - 1, &last))
    return;
  ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&first), 2);
  ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&last), 2);
  RECT client{};
  ::GetClientRect(hwnd, &client);
  ColorEnv env = ColorEnv::Current();
  const COLORREF column = IconColumnColor(env, MenuBrushColor(rec.menu));
  const COLORREF area = env.Sys(COLOR_WINDOW);
  WindowDc dc(hwnd);
  FillSolid(dc, RECT{client.left, client.top, first.left, client.bottom}, column);
  FillSolid(dc, RECT{first.left, client.top, client.right, first.top}, area);
  FillSolid(dc, RECT{first.left, last.bottom, client.right, client.bottom}, area);
  FillSolid(dc, RECT{first.right, first.top, client.right, last.bottom}, area);
}

void CPopupSkin::Unsubclass(HWND hwnd) {
  auto it = windows.find(hwnd);
  if (it == windows.end()) return;
  auto old = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kOldProcProperty));
  if (old) ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  ::RemovePropW(hwnd, kOldProcProperty);
  CPopupRecord& rec = *it->second;
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, rec.style);
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, rec.exStyle);
  windows.erase(it);
}

void CPopupSkin::Start(HOOKPROC onCreation, HOOKPROC onMessage) {
  if (started) return;
  platform = CurrentPlatformClass();
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  wine = kernel && ::GetProcAddress(kernel, "wine_get_unix_file_name") != nullptr;
  creationHook = ::SetWindowsHookExW(WH_CBT, onCreation, nullptr, ::GetCurrentThreadId());
  if (!creationHook) throw std::runtime_error("cannot install the menu window hook");
  messageProc = onMessage;
  atom = ::GlobalAddAtomW(kOldProcProperty);
  started = true;
}

// A message hook makes every message sent in the thread a round trip to the
// window server under Wine (about 0.1 ms each, most of the time a list takes
// to fill); menu windows exist only while a menu is tracked.
void CPopupSkin::WatchMenuWindow(HWND hwnd, bool created) {
  if (created) {
    menuWindows.insert(hwnd);
    if (!hook)
      hook = ::SetWindowsHookExW(WH_CALLWNDPROC, messageProc, nullptr, ::GetCurrentThreadId());
  } else if (menuWindows.erase(hwnd) && menuWindows.empty() && hook) {
    ::UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
}

void CPopupSkin::Stop() {
  if (!started) return;
  ::UnhookWindowsHookEx(creationHook);
  if (hook) ::UnhookWindowsHookEx(hook);
  for (auto it = windows.begin(); it != windows.end();) {
    HWND hwnd = (it++)->first;
    Unsubclass(hwnd);
  }
  if (atom) ::GlobalDeleteAtom(atom);
  started = false;
  platform = kWinXpOrLater;
  wine = false;
  creationHook = nullptr;
  hook = nullptr;
  messageProc = nullptr;
  menuWindows.clear();
  pendingMenu = nullptr;
  pendingOwner = nullptr;
  atom = 0;
}

// The client area inside the flat frame (and the shadow bands, where the
// skin draws them); `rc` is the window rectangle on entry.
void FitClientArea(RECT& rc) {
  const bool systemShadow = SystemDrawsShadows();
  rc.left += 2;
  rc.top += 2;
  rc.right -= systemShadow ? 1 : 1 + kShadow;
  rc.bottom -= systemShadow ? 2 : 2 + kShadow;
}

void OnPositionChanging(HWND hwnd, CPopupRecord& rec, WINDOWPOS& pos) {
  const bool systemShadow = SystemDrawsShadows();
  if (!(pos.flags & SWP_NOSIZE)) {
    // The menu sized the window for its own border; trade that for ours so
    // the items keep all the room they asked for.
    pos.cx += (systemShadow ? 3 : 3 + kShadow) - rec.systemFrame.cx;
    pos.cy += (systemShadow ? 4 : 4 + kShadow) - rec.systemFrame.cy;
  }
  if (pos.flags & SWP_SHOWWINDOW) {
    RECT wr = WindowRect(hwnd);
    if (!(pos.flags & SWP_NOMOVE)) ::OffsetRect(&wr, pos.x - wr.left, pos.y - wr.top);
    if (!(pos.flags & SWP_NOSIZE)) {
      wr.right = wr.left + pos.cx;
      wr.bottom = wr.top + pos.cy;
    }
    CaptureBehind(rec, wr);
  }
}

// True when the window goes back to the system's look: hidden, or resized
// while shown (the saved background no longer fits).
bool OnPositionChanged(HWND hwnd, CPopupRecord& rec, const WINDOWPOS& pos) {
  const SIZE size{pos.cx, pos.cy};
  const bool resized = rec.lastSize.cx && !(pos.flags & SWP_NOSIZE) &&
                       (size.cx != rec.lastSize.cx || size.cy != rec.lastSize.cy);
  if ((pos.flags & SWP_HIDEWINDOW) || resized) return true;
  if (::IsWindowVisible(hwnd) && !rec.lastSize.cx) {
    RECT wr = WindowRect(hwnd);
    rec.lastSize = SIZE{wr.right - wr.left, wr.bottom - wr.top};
  }
  return false;
}

void EraseBackground(HWND hwnd, HDC dc, const CPopupRecord& rec) {
  RECT rc{};
  ::GetClientRect(hwnd, &rc);
  rc.left -= 2;
  FillSolid(dc, rc, MenuColor(ColorEnv::Current(), MenuBrushColor(rec.menu)));
}

// A fading pop-up shows at once, fully opaque.
void ShowOpaque(HWND hwnd) {
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  ::SetLayeredWindowAttributes(hwnd, 0, 255, LWA_ALPHA);
  ::KillTimer(hwnd, kFadeTimer);
}

LRESULT MenuWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kOldProcProperty));
  auto it = g_skin.windows.find(hwnd);
  if (!old) return ::DefWindowProcW(hwnd, msg, wp, lp);
  if (it == g_skin.windows.end()) return ::CallWindowProcW(old, hwnd, msg, wp, lp);
  CPopupRecord& rec = *it->second;
  switch (msg) {
    case WM_NCCALCSIZE:
      FitClientArea(*reinterpret_cast<RECT*>(lp));  // rgrc[0] is first in NCCALCSIZE_PARAMS too
      return 0;
    case WM_WINDOWPOSCHANGING:
      OnPositionChanging(hwnd, rec, *reinterpret_cast<WINDOWPOS*>(lp));
      break;
    case WM_SHOWWINDOW:
      if (wp) {
        if (!rec.behindDc) CaptureBehind(rec, WindowRect(hwnd));
        break;
      }
      g_skin.Unsubclass(hwnd);
      return ::CallWindowProcW(old, hwnd, msg, wp, lp);
    case WM_NCPAINT:
      if (HDC dc = ::GetWindowDC(hwnd)) {
        PaintFrame(hwnd, dc, rec);
        ::ReleaseDC(hwnd, dc);
      }
      return 0;
    case WM_PRINT: {
      LRESULT r = ::CallWindowProcW(old, hwnd, msg, wp, lp & ~PRF_NONCLIENT);
      if (lp & PRF_NONCLIENT) PaintFrame(hwnd, reinterpret_cast<HDC>(wp), rec);
      return r;
    }
    case WM_PAINT:
      if (g_skin.wine) {
        // Wine paints its own border inside the client area, around the
        // items: paint the margins over in the item colours.
        LRESULT r = ::CallWindowProcW(old, hwnd, msg, wp, lp);
        PaintWineMargins(hwnd, rec);
        return r;
      }
      break;
    case WM_ERASEBKGND:
      EraseBackground(hwnd, reinterpret_cast<HDC>(wp), rec);
      return 1;
    case WM_WINDOWPOSCHANGED:
      if (OnPositionChanged(hwnd, rec, *reinterpret_cast<const WINDOWPOS*>(lp))) {
        g_skin.Unsubclass(hwnd);
        return ::CallWindowProcW(old, hwnd, msg, wp, lp);
      }
      break;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) rec.escapePressed = true;
      break;
    case WM_TIMER:
      if (wp == kFadeTimer && g_skin.platform > kNt4) {
        ShowOpaque(hwnd);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      g_skin.Unsubclass(hwnd);
      return ::CallWindowProcW(old, hwnd, msg, wp, lp);
    default:
      break;
  }
  return ::CallWindowProcW(old, hwnd, msg, wp, lp);
}

LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded<LRESULT>(0, [&] { return MenuWindowMessage(hwnd, msg, wp, lp); });
}

void SubclassMenuWindow(HWND hwnd, HMENU menu) {
  auto rec = std::make_unique<CPopupRecord>();
  rec->menu = menu;
  rec->owner = g_skin.pendingOwner;
  LONG_PTR old = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  ::SetPropW(hwnd, kOldProcProperty, reinterpret_cast<HANDLE>(old));
  // The XP look draws its own one-pixel frame instead of the 3-D border.
  rec->style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  rec->exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  RECT frame{};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(rec->style), FALSE,
                       static_cast<DWORD>(rec->exStyle));
  rec->systemFrame = SIZE{frame.right - frame.left, frame.bottom - frame.top};
  ::SetWindowLongPtrW(hwnd, GWL_STYLE, rec->style & ~WS_BORDER);
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, rec->exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  g_skin.windows[hwnd] = std::move(rec);
  ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuWindowProc));
}

void OnHookedMessage(const CWPSTRUCT* cwp) {
  if ((cwp->message == WM_CREATE || cwp->message == kMnSystemMenuPrepare) &&
      !g_skin.windows.count(cwp->hwnd) && IsMenuWindow(cwp->hwnd)) {
    // The window's own answer first. While it is being created it cannot give
    // one yet: Wine passes the menu as the creation parameter (and announces it
    // by WM_INITMENUPOPUP only afterwards, so the pending one is the last
    // pop-up's); Windows announces it before.
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(cwp->hwnd, kMnGetHMenu, 0, 0));
    if (!menu && cwp->message == WM_CREATE) {
      auto* cs = reinterpret_cast<const CREATESTRUCTW*>(cwp->lParam);
      auto created = static_cast<HMENU>(cs->lpCreateParams);
      if (created && ::IsMenu(created)) menu = created;
    }
    if (!menu) menu = g_skin.pendingMenu;
    if (menu && CThemedMenu::FromHandle(menu)) SubclassMenuWindow(cwp->hwnd, menu);
    g_skin.pendingMenu = nullptr;
  }
}

LRESULT CALLBACK CallWndHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    Guarded(0, [lp] {
      OnHookedMessage(reinterpret_cast<const CWPSTRUCT*>(lp));
      return 0;
    });
  }
  return ::CallNextHookEx(g_skin.hook, code, wp, lp);
}

LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND || code == HCBT_DESTROYWND) {
    Guarded(0, [code, wp] {
      auto hwnd = reinterpret_cast<HWND>(wp);
      if (code == HCBT_DESTROYWND || IsMenuWindow(hwnd))
        g_skin.WatchMenuWindow(hwnd, code == HCBT_CREATEWND);
      return 0;
    });
  }
  return ::CallNextHookEx(g_skin.creationHook, code, wp, lp);
}

}  // namespace

void CThemedMenuLibrary::Start() { g_skin.Start(&CreationHook, &CallWndHook); }

bool CThemedMenuLibrary::WatchingMessages() { return g_skin.hook != nullptr; }

void CThemedMenuLibrary::Stop() { g_skin.Stop(); }

bool CThemedMenuLibrary::Started() { return g_skin.started; }

bool CThemedMenuLibrary::EscapePressed(HWND popup) {
  auto it = g_skin.windows.find(popup);
  return it != g_skin.windows.end() && it->second->escapePressed;
}

void CThemedMenuLibrary::SetPendingMenu(HMENU menu, HWND owner) {
  g_skin.pendingMenu = menu;
  g_skin.pendingOwner = owner;
}

}  // namespace klarex
