// Reads the main window of a running Klarex.exe from outside the process:
//   probe caption | rows | counts | status <pane> | header | menubar | rect | windows
// Texts are printed as UTF-8, one item a line (row cells separated by tabs).
// Exit code 2: no main window found.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const wchar_t kFrameClass[] = L"Klarex.MainFrame";

void Print(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  std::printf("%s\n", out.c_str());
}

// A block of memory inside the window's process.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND hwnd, size_t size) : m_size(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (m_process)
      m_remote = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (m_remote) VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    if (m_process) CloseHandle(m_process);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return m_remote != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(m_remote) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(m_process, at(offset), data, size, nullptr);
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(m_process, at(offset), data, size, nullptr);
  }

 private:
  HANDLE m_process = nullptr;
  void* m_remote = nullptr;
  size_t m_size;
};

constexpr size_t kTextChars = 1024;

std::wstring ItemText(HWND list, const RemoteBuffer& mem, int row, int column) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(mem.at(sizeof(LVITEMW)));
  item.cchTextMax = kTextChars;
  mem.Write(0, &item, sizeof(item));
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(mem.at(0)));
  std::vector<wchar_t> text(kTextChars, L'\0');
  mem.Read(sizeof(LVITEMW), text.data(), (kTextChars - 1) * sizeof(wchar_t));
  return text.data();
}

int Rows(HWND list) {
  RemoteBuffer mem(list, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
  if (!mem.ok()) return 1;
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::wstring line;
    for (int column = 0; column < 4; ++column) {
      if (column) line += L'\t';
      line += ItemText(list, mem, row, column);
    }
    Print(line);
  }
  return 0;
}

int Status(HWND bar, int pane) {
  RemoteBuffer mem(bar, kTextChars * sizeof(wchar_t));
  if (!mem.ok()) return 1;
  LRESULT len = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(pane), 0);
  if (LOWORD(len) >= kTextChars) return 1;
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(mem.at(0)));
  std::vector<wchar_t> text(kTextChars, L'\0');
  mem.Read(0, text.data(), (LOWORD(len) + 1) * sizeof(wchar_t));
  Print(text.data());
  return 0;
}

int Header(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  RemoteBuffer mem(list, sizeof(HDITEMW) + kTextChars * sizeof(wchar_t));
  if (!header || !mem.ok()) return 1;
  int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(mem.at(sizeof(HDITEMW)));
    item.cchTextMax = kTextChars;
    mem.Write(0, &item, sizeof(item));
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(mem.at(0)));
    std::vector<wchar_t> text(kTextChars, L'\0');
    mem.Read(sizeof(HDITEMW), text.data(), (kTextChars - 1) * sizeof(wchar_t));
    Print(text.data());
  }
  return 0;
}

BOOL CALLBACK CountFrames(HWND hwnd, LPARAM counter) {
  wchar_t name[64] = L"";
  GetClassNameW(hwnd, name, 64);
  if (lstrcmpW(name, kFrameClass) == 0) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: probe caption|rows|counts|status N|header|menubar|rect|windows\n");
    return 1;
  }
  std::string what = argv[1];
  if (what == "windows") {
    int count = 0;
    EnumWindows(&CountFrames, reinterpret_cast<LPARAM>(&count));
    std::printf("%d\n", count);
    return 0;
  }
  HWND frame = FindWindowW(kFrameClass, nullptr);
  if (!frame) return 2;
  HWND list = FindWindowExW(frame, nullptr, WC_LISTVIEWW, nullptr);
  HWND bar = FindWindowExW(frame, nullptr, STATUSCLASSNAMEW, nullptr);
  if (what == "caption") {
    wchar_t text[512] = L"";
    GetWindowTextW(frame, text, 512);
    Print(text);
    return 0;
  }
  if (what == "rows") return list ? Rows(list) : 1;
  if (what == "counts") {
    if (!list) return 1;
    std::printf("%d %d\n", static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)),
                static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)));
    return 0;
  }
  if (what == "status") return bar ? Status(bar, argc > 2 ? atoi(argv[2]) : 0) : 1;
  if (what == "header") return list ? Header(list) : 1;
  if (what == "menubar") {
    std::printf("%s\n", GetMenu(frame) ? "shown" : "hidden");
    return 0;
  }
  if (what == "rect") {
    RECT r{};
    GetWindowRect(frame, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  std::fprintf(stderr, "unknown request\n");
  return 1;
}
