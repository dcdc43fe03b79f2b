// Small helpers for tests that run real windows under Xvfb.
#pragma once
#include <windows.h>
// needs windows.h first
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace klarex::test {

// Dispatches the thread's messages for about `ms` milliseconds.
inline void Pump(DWORD ms = 50) {
  DWORD end = ::GetTickCount() + ms;
  do {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

// Saves the screen as <KLAREX_SCREENSHOTS>\<name>.bmp when that variable names
// a folder (the test session points it into the build tree); else nothing.
inline void SaveScreenshot(const char* name) {
  const char* dir = std::getenv("KLAREX_SCREENSHOTS");
  if (!dir || !*dir) return;
  HDC screen = ::GetDC(nullptr);
  int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFOHEADER bih{};
  bih.biSize = sizeof(bih);
  bih.biWidth = w;
  bih.biHeight = h;
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  bih.biCompression = BI_RGB;
  int stride = (w * 3 + 3) & ~3;
  std::vector<char> bits(static_cast<size_t>(stride) * h);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  ::SelectObject(mem, old);
  ::GetDIBits(mem, bmp, 0, h, bits.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  ::CreateDirectoryA(dir, nullptr);
  std::string path = std::string(dir) + "\\" + name + ".bmp";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  BITMAPFILEHEADER bfh{};
  bfh.bfType = 0x4D42;
  bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
  bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(bits.size());
  std::fwrite(&bfh, sizeof(bfh), 1, f);
  std::fwrite(&bih, sizeof(bih), 1, f);
  std::fwrite(bits.data(), 1, bits.size(), f);
  std::fclose(f);
}

// A plain top-level window for hosting controls and menus.
inline HWND MakeHostWindow(const wchar_t* title, int w = 420, int h = 300,
                           WNDPROC proc = ::DefWindowProcW) {
  static const wchar_t* kClass = L"KlarexTestHost";
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.style = CS_DBLCLKS;
  std::wstring cls = std::wstring(kClass) + std::to_wstring(reinterpret_cast<UINT_PTR>(proc));
  wc.lpszClassName = cls.c_str();
  ::RegisterClassW(&wc);
  HWND hwnd = ::CreateWindowExW(0, cls.c_str(), title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, w,
                                h, nullptr, nullptr, wc.hInstance, nullptr);
  ::UpdateWindow(hwnd);
  return hwnd;
}

// GDI objects this process holds: GetGuiResources, or where that is a stub
// (Wine) the entries of the process's GDI handle table that hold an object,
// the table being laid out as on Windows (PEB GdiSharedHandleTable).
inline int GdiObjectCount() {
  if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(n);
  struct Entry {
    ULONGLONG object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    ULONGLONG user;
  };
  constexpr size_t kTableOffset = 0xF8;  // PEB.GdiSharedHandleTable, 64-bit
  constexpr int kEntries = 0x10000;
  using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION info{};
  if (!query ||
      query(::GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info), nullptr) != 0)
    return -1;
  auto* peb = reinterpret_cast<char*>(info.PebBaseAddress);
  const auto* table = *reinterpret_cast<const Entry* const*>(peb + kTableOffset);
  if (!table) return -1;
  // Every entry of this process carries the owner value of a new object.
  HBRUSH probe = ::CreateSolidBrush(RGB(1, 2, 3));
  const ULONG owner = table[LOWORD(reinterpret_cast<ULONG_PTR>(probe))].owner;
  ::DeleteObject(probe);
  int count = 0;
  for (int i = 0; i < kEntries; ++i) count += table[i].type && table[i].owner == owner;
  return count;
}

}  // namespace klarex::test
