#include "support/definitions_support.h"

#include <windows.h>

#include "sys/handles.h"
#include "sys/utf8.h"

namespace klarex::test {

std::wstring ShippedFolder() {
  wchar_t module[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring folder(module, length);
  // Started by its Unix path (the build tree lies on no drive of the test
  // prefix), the program's name comes back as unix\... without "\\?\".
  if (folder.rfind(L"unix\\", 0) == 0) folder = L"\\\\?\\" + folder;
  return folder.substr(0, folder.rfind(L'\\')) + L"\\cleaners";
}

std::string ReadBytes(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.get(), &size)) return {};
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return {};
  bytes.resize(read);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file && !bytes.empty())
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string Describe(const std::vector<Refusal>& refusals) {
  std::wstring text;
  for (const Refusal& refusal : refusals)
    text += refusal.file + L":" + std::to_wstring(refusal.line) + L" [" + refusal.section + L"] " +
            DescribeProblem(refusal.problem).key + L" (" + refusal.detail + L")\n";
  return ToUtf8(text);
}

}  // namespace klarex::test
