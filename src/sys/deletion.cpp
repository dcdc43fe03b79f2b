// Deleting one item, permanently or to the Recycle Bin. Every call acts on the
// item's exact name ("\\?\" form), and every entry is opened once, checked to
// lead to itself, and then changed and deleted through that same handle: under
// Wine a Unix link to a file looks like a plain file, and deleting it by name
// deletes its target.
#include <windows.h>
// needs windows.h first
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "sys/operations.h"
#include "sys/paths.h"

namespace klarex {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The entry itself (a folder as a folder), never what a reparse point leads to.
constexpr DWORD kEntryFlags = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
constexpr DWORD kLook = FILE_READ_ATTRIBUTES | SYNCHRONIZE;
// Granted even while another program holds the entry without delete sharing.
constexpr DWORD kInspect = kLook | FILE_WRITE_ATTRIBUTES;
constexpr DWORD kRemove = kInspect | DELETE;
// A folder is listed through its own handle: opening it again by name could
// reach something else, and Wine refuses a search while DELETE access is held.
constexpr DWORD kList = FILE_LIST_DIRECTORY;

constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsFolder(DWORD attributes) { return attributes & FILE_ATTRIBUTE_DIRECTORY; }
bool IsReparsePoint(DWORD attributes) { return attributes & FILE_ATTRIBUTE_REPARSE_POINT; }
bool IsReadOnly(DWORD attributes) { return attributes & FILE_ATTRIBUTE_READONLY; }
bool IsMissingError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
// A folder that is no link: the only kind that is entered.
bool IsPlainFolder(DWORD attributes) { return IsFolder(attributes) && !IsReparsePoint(attributes); }

FileHandle OpenEntry(const std::wstring& exact, DWORD access) {
  return FileHandle(::CreateFileW(exact.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                  kEntryFlags, nullptr));
}

struct Entry {
  std::wstring name;
  DWORD attributes;
  LONGLONG id;
};
using Listing = std::vector<Entry>;

// The entries of an open folder, without "." and "..". False if it cannot be
// listed to its end.
bool ListFolder(HANDLE folder, Listing& entries) {
  constexpr size_t kBufferBytes = 64 * 1024;
  auto buffer = std::make_unique<LONGLONG[]>(kBufferBytes / sizeof(LONGLONG));
  FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
  while (::GetFileInformationByHandleEx(folder, request, buffer.get(), kBufferBytes)) {
    request = FileIdBothDirectoryInfo;
    const BYTE* at = reinterpret_cast<const BYTE*>(buffer.get());
    for (;;) {
      const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
      std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..")
        entries.push_back({std::move(name), info->FileAttributes, info->FileId.QuadPart});
      if (info->NextEntryOffset == 0) break;
      at += info->NextEntryOffset;
    }
  }
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Wine's GetFinalPathNameByHandleW gives up beyond MAX_PATH characters; the
// object name it is made from ("\??\C:\..." or "\??\unix\...") has no limit.
std::wstring ObjectName(HANDLE entry) {
  using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
  constexpr int kObjectNameInformation = 1;
  struct Name {
    USHORT length;
    USHORT capacity;
    const wchar_t* text;
  };
  constexpr ULONG kBytes = sizeof(Name) + 0x10000;
  auto buffer = std::make_unique<LONGLONG[]>(kBytes / sizeof(LONGLONG));
  ULONG needed = 0;
  if (!query || query(entry, kObjectNameInformation, buffer.get(), kBytes, &needed) != 0) return {};
  const auto* name = reinterpret_cast<const Name*>(buffer.get());
  std::wstring path(name->text, name->length / sizeof(wchar_t));
  if (path.compare(0, 4, L"\\??\\") != 0) return {};
  path[1] = L'\\';  // "\\?\", as GetFinalPathNameByHandleW answers
  return path;
}

std::wstring FinalPath(HANDLE entry) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  wchar_t buffer[MAX_PATH];
  DWORD length = ::GetFinalPathNameByHandleW(entry, buffer, MAX_PATH, kFlags);
  if (length == 0) return ObjectName(entry);
  if (length < MAX_PATH) return std::wstring(buffer, length);
  std::wstring path(length, L'\0');
  length = ::GetFinalPathNameByHandleW(entry, path.data(), length, kFlags);
  path.resize(length < path.size() ? length : 0);
  return path;
}

std::wstring LongPath(const std::wstring& exact) {
  std::wstring path(exact.size() + MAX_PATH, L'\0');
  DWORD length = ::GetLongPathNameW(exact.c_str(), path.data(), static_cast<DWORD>(path.size()));
  if (length >= path.size()) {
    path.resize(length);
    length = ::GetLongPathNameW(exact.c_str(), path.data(), length);
  }
  path.resize(length < path.size() ? length : 0);
  return path;
}

// What Win32's path normalization makes of an exact path, as Wine answers for
// the final path: one trailing dot off every folder, trailing dots and spaces
// off the last name.
std::wstring DosNormalized(const std::wstring& exact) {
  constexpr size_t kPrefix = 4;  // "\\?\"
  std::wstring result = exact.substr(0, kPrefix);
  for (size_t start = kPrefix;;) {
    const size_t end = exact.find(L'\\', start);
    std::wstring part = exact.substr(start, end == std::wstring::npos ? end : end - start);
    if (end == std::wstring::npos) {
      while (!part.empty() && (part.back() == L'.' || part.back() == L' ')) part.pop_back();
      return result + part;
    }
    if (!part.empty() && part.back() == L'.') part.pop_back();
    result += part + L'\\';
    start = end + 1;
  }
}

bool Identity(HANDLE entry, DWORD& volume, LONGLONG& id) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(entry, &info)) return false;
  volume = info.dwVolumeSerialNumber;
  id = (static_cast<LONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

// Whether the entry behind `entry` is also reachable as `other`, or as a
// sibling of `exact` under another name: then `exact` is a link (or a second
// name) of that one.
bool ReachableElsewhere(HANDLE entry, const std::wstring& exact, const std::wstring& other,
                        const Listing* siblings) {
  DWORD volume = 0, otherVolume = 0;
  LONGLONG id = 0, otherId = 0;
  if (!Identity(entry, volume, id)) return true;
  FileHandle elsewhere = OpenEntry(other, kLook);
  if (elsewhere && Identity(elsewhere.get(), otherVolume, otherId) && otherVolume == volume &&
      otherId == id)
    return true;
  Listing listed;
  const size_t slash = exact.rfind(L'\\');
  if (!siblings) {
    std::wstring folder = exact.substr(0, slash);
    if (folder.back() == L':') folder += L'\\';  // "\\?\C:" alone names the volume
    FileHandle parent = OpenEntry(folder, kLook | kList);
    if (!parent || !ListFolder(parent.get(), listed)) return true;
    siblings = &listed;
  }
  const std::wstring name = exact.substr(slash + 1);
  for (const Entry& sibling : *siblings) {
    if (sibling.id == id && sibling.name != name) return true;
  }
  return false;
}

// Whether the entry opened as `exact` is that entry itself. Under Wine a Unix
// link opens its target and answers the target's path (\\?\unix\... when it
// lies on no drive); on Windows a reparse point opened as above answers its
// own path. A path holding short (8.3) names becomes its long form.
bool LeadsToItself(HANDLE entry, std::wstring& exact, const Listing* siblings) {
  const std::wstring final = FinalPath(entry);
  if (final.empty()) return false;
  if (SamePath(final, exact)) return true;
  if (exact.find(L'~') != std::wstring::npos) {
    const std::wstring longForm = LongPath(exact);
    if (!longForm.empty() && SamePath(final, longForm)) {
      exact = longForm;
      return true;
    }
  }
  // Wine answers "keep." as "keep"; a link to "keep" would answer the same.
  return SamePath(final, DosNormalized(exact)) &&
         !ReachableElsewhere(entry, exact, final, siblings);
}

// Attributes through the handle; the times stay as they are.
bool SetAttributes(HANDLE entry, DWORD attributes) {
  FILE_BASIC_INFO info{};
  info.FileAttributes = (attributes & kSettableAttributes) ? (attributes & kSettableAttributes)
                                                           : FILE_ATTRIBUTE_NORMAL;
  return ::SetFileInformationByHandle(entry, FileBasicInfo, &info, sizeof(info));
}

// True when the read-only bit was set and has been cleared.
bool ClearReadOnly(HANDLE entry, DWORD attributes) {
  return IsReadOnly(attributes) && SetAttributes(entry, attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Marks the entry for deletion when its handle closes.
bool Dispose(HANDLE entry) {
  FILE_DISPOSITION_INFO info{};
  info.DeleteFile = TRUE;
  return ::SetFileInformationByHandle(entry, FileDispositionInfo, &info, sizeof(info));
}

// Opens an entry with `access`; a protected one is taken over first, but only
// once it is known to be itself and no link.
FileHandle OpenForDeletion(const DeletionContext& context, std::wstring& exact, DWORD access,
                           DWORD attributes, const Listing* siblings, DWORD& error) {
  FileHandle entry = OpenEntry(exact, access);
  error = entry ? ERROR_SUCCESS : ::GetLastError();
  if (error == ERROR_ACCESS_DENIED && context.closer) {
    // It may be a file deleted before (the same item listed twice, a file of a
    // folder listed after it), marked for deletion and not yet unlinked.
    context.closer->Settle();
    entry = OpenEntry(exact, access);
    error = entry ? ERROR_SUCCESS : ::GetLastError();
  }
  if (error != ERROR_ACCESS_DENIED || IsReparsePoint(attributes) || !context.security) return entry;
  FileHandle look = OpenEntry(exact, kLook);
  if (!look || !LeadsToItself(look.get(), exact, siblings)) return entry;
  look.reset();
  TakeOwnership(*context.security, exact);
  entry = OpenEntry(exact, access);
  error = entry ? ERROR_SUCCESS : ::GetLastError();
  return entry;
}

// Failed outranks AtRestart, which outranks everything gone now.
DeleteOutcome Worse(DeleteOutcome a, DeleteOutcome b) {
  auto rank = [](DeleteOutcome outcome) {
    return outcome == DeleteOutcome::Failed ? 2 : outcome == DeleteOutcome::AtRestart ? 1 : 0;
  };
  return rank(b) > rank(a) ? b : a;
}

void SayDeleting(const DeletionContext& context, const std::wstring& path) {
  if (context.status) context.status->ShowDeletingStatus(path);
}

DeleteOutcome RemoveEntry(const DeletionContext& context, std::wstring exact, DWORD attributes,
                          const Listing* siblings);

// Deletes what an open folder holds: Deleted, AtRestart or Failed.
DeleteOutcome RemoveContents(const DeletionContext& context, HANDLE folder,
                             const std::wstring& exact) {
  Listing entries;
  if (!ListFolder(folder, entries)) return DeleteOutcome::Failed;
  DeleteOutcome result = DeleteOutcome::Deleted;
  for (const Entry& entry : entries) {
    const std::wstring child = exact + L'\\' + entry.name;
    SayDeleting(context, DisplayPath(child));
    result = Worse(result, RemoveEntry(context, child, entry.attributes, &entries));
  }
  return result;
}

DeleteOutcome RemoveEntry(const DeletionContext& context, std::wstring exact, DWORD attributes,
                          const Listing* siblings) {
  const DWORD list = IsPlainFolder(attributes) ? kList : 0;
  DWORD error = ERROR_SUCCESS;
  FileHandle entry = OpenForDeletion(context, exact, kRemove | list, attributes, siblings, error);
  const bool deletable = static_cast<bool>(entry);
  if (!deletable) {
    if (IsMissingError(error)) return DeleteOutcome::Missing;
    // In use: what it is can still be asked, and it can go at the next restart.
    entry = OpenEntry(exact, kInspect | list);
    if (!entry)
      return IsMissingError(::GetLastError()) ? DeleteOutcome::Missing : DeleteOutcome::Failed;
  }
  if (!LeadsToItself(entry.get(), exact, siblings)) return DeleteOutcome::Failed;
  if (IsReparsePoint(attributes)) {
    // A link on Windows: removed itself, never entered.
    const bool cleared = deletable && ClearReadOnly(entry.get(), attributes);
    if (deletable && Dispose(entry.get())) return DeleteOutcome::LinkRemoved;
    if (cleared) SetAttributes(entry.get(), attributes);
    return DeleteOutcome::Failed;
  }
  const DeleteOutcome contents =
      list ? RemoveContents(context, entry.get(), exact) : DeleteOutcome::Deleted;
  if (contents == DeleteOutcome::Failed) return DeleteOutcome::Failed;
  // A folder is empty only once what it held is unlinked.
  if (list && context.closer) context.closer->Settle();
  const bool cleared = ClearReadOnly(entry.get(), attributes);
  if (deletable && contents == DeleteOutcome::Deleted && Dispose(entry.get())) {
    if (context.closer) context.closer->Close(std::move(entry));
    return DeleteOutcome::Deleted;
  }
  // Registered after everything it holds, so the restart removes those first.
  if (::MoveFileExW(exact.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
    return DeleteOutcome::AtRestart;
  if (cleared) SetAttributes(entry.get(), attributes);
  return DeleteOutcome::Failed;
}

// Whether everything below an open folder leads to itself (links on Windows
// count as themselves and are not entered).
bool HoldsOnlyItself(HANDLE folder, const std::wstring& exact) {
  Listing entries;
  if (!ListFolder(folder, entries)) return false;
  for (const Entry& entry : entries) {
    std::wstring child = exact + L'\\' + entry.name;
    const DWORD list = IsPlainFolder(entry.attributes) ? kList : 0;
    FileHandle handle = OpenEntry(child, kLook | list);
    if (!handle || !LeadsToItself(handle.get(), child, &entries)) return false;
    if (list && !HoldsOnlyItself(handle.get(), child)) return false;
  }
  return true;
}

// The shell's result says too little: with an unusable Recycle Bin it may
// report success while the item stays. Gone is what counts.
bool ShellRecycle(const std::wstring& path, const std::wstring& exact) {
  std::wstring from = path;
  from.push_back(L'\0');  // a list of names ended by an empty one
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
  ::SHFileOperationW(&operation);
  return ::GetFileAttributesW(exact.c_str()) == INVALID_FILE_ATTRIBUTES &&
         IsMissingError(::GetLastError());
}

DeleteOutcome Recycle(const DeletionContext& context, const std::wstring& path, std::wstring exact,
                      DWORD attributes) {
  // The shell takes plain Win32 paths only, and would act on another name
  // where Win32 strips a trailing dot or space.
  if (!IsPlainWin32Path(path)) return DeleteOutcome::Failed;
  // The shell meets only what is unlinked, never a file marked for deletion.
  if (context.closer) context.closer->Settle();
  {
    const DWORD list = IsPlainFolder(attributes) ? kList : 0;
    DWORD error = ERROR_SUCCESS;
    FileHandle entry =
        OpenForDeletion(context, exact, kLook | DELETE | list, attributes, nullptr, error);
    if (!entry) return IsMissingError(error) ? DeleteOutcome::Missing : DeleteOutcome::Failed;
    if (!LeadsToItself(entry.get(), exact, nullptr)) return DeleteOutcome::Failed;
    // A shell that cannot use the Recycle Bin deletes permanently, and Wine's
    // then deletes through any link inside.
    if (list && !HoldsOnlyItself(entry.get(), exact)) return DeleteOutcome::Failed;
  }
  if (ShellRecycle(path, exact)) return DeleteOutcome::Recycled;
  // Read-only is cleared only where the shell refused, and put back if it
  // refuses again.
  if (!IsReadOnly(attributes)) return DeleteOutcome::Failed;
  FileHandle entry = OpenEntry(exact, kInspect);
  if (!entry || !ClearReadOnly(entry.get(), attributes)) return DeleteOutcome::Failed;
  entry.reset();
  if (ShellRecycle(path, exact)) return DeleteOutcome::Recycled;
  entry = OpenEntry(exact, kInspect);
  if (entry) SetAttributes(entry.get(), attributes);
  return DeleteOutcome::Failed;
}

// A drive or share root is never an item: deleting it would empty the drive.
bool IsRoot(const std::wstring& exact) {
  const size_t last = exact.find_last_not_of(L'\\');
  if (exact.compare(0, 8, L"\\\\?\\UNC\\") == 0)
    return std::count(exact.begin() + 8, exact.begin() + last + 1, L'\\') < 2;
  return last + 1 <= 6;  // "\\?\C:"
}

}  // namespace

DeleteOutcome DeletePath(std::wstring path, bool permanent, const DeletionContext& context) {
  const std::wstring exact = ExactPath(path);
  if (exact.empty() || IsRoot(exact)) return DeleteOutcome::Failed;
  const DWORD attributes = ::GetFileAttributesW(exact.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return IsMissingError(::GetLastError()) ? DeleteOutcome::Missing : DeleteOutcome::Failed;
  SayDeleting(context, path);
  return permanent ? RemoveEntry(context, exact, attributes, nullptr)
                   : Recycle(context, path, exact, attributes);
}

}  // namespace klarex
