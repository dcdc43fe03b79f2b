// Which found items become list rows and in what order, and the Type and Size
// of a row: the rules the window's list and KlarexCmd share.
#include "engine/list_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace klarex {
namespace {

FoundItem Record(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE,
                 uint64_t size = 0) {
  FoundItem item{};
  wcsncpy(item.cFileName, path.c_str(), MAX_PATH - 1);
  item.dwFileAttributes = attributes;
  item.ftLastWriteTime = {1, 0};
  item.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  item.nFileSizeLow = static_cast<DWORD>(size);
  return item;
}

std::vector<std::wstring> Paths(const std::vector<FoundItem>& items) {
  std::vector<std::wstring> paths;
  for (const FoundItem& item : items) paths.emplace_back(item.cFileName);
  return paths;
}

TEST(ListRows, UnlistableRecords) {
  FoundItem record = Record(L"C:\\windows\\a.log");
  EXPECT_FALSE(IsUnlistableRecord(record));
  record.ftLastWriteTime = {0, 12345};  // only the low half counts
  EXPECT_TRUE(IsUnlistableRecord(record));
  record = Record(L"a.log");
  EXPECT_TRUE(IsUnlistableRecord(record));
}

TEST(ListRows, LastFoundComesFirstAndWhatIsGoneOrUnlistableGivesNoRow) {
  test::TempDir dir;
  const std::wstring a = dir.File(L"a.log"), b = dir.File(L"b.log"), c = dir.Folder(L"c");
  dir.File(L"keep");
  FoundItem unlistable = Record(dir / L"d.log");
  dir.File(L"d.log");
  unlistable.ftLastWriteTime = {0, 0};
  // "keep." is another name than "keep": it does not exist, so it gives no row.
  const std::vector<FoundItem> found = {Record(a),  Record(dir / L"gone.log"),
                                        Record(b),  Record(c, FILE_ATTRIBUTE_DIRECTORY),
                                        unlistable, Record(dir / L"keep.")};
  EXPECT_EQ(Paths(ListOrder(found)), (std::vector<std::wstring>{c, b, a}));
  EXPECT_TRUE(ListOrder({}).empty());
}

TEST(ListRows, SizeOfAFileAsFoundAndOfAFolderAsItIsNow) {
  test::TempDir dir;
  dir.File(L"f\\one.bin", 1000);
  dir.File(L"f\\sub\\two.bin", 24);
  EXPECT_EQ(RowSize(Record(dir / L"f", FILE_ATTRIBUTE_DIRECTORY)), 1024u);
  EXPECT_EQ(RowSize(Record(dir / L"x.bin", FILE_ATTRIBUTE_ARCHIVE, 5000000000ull)), 5000000000ull);
}

TEST(ListRows, TypeNamesFollowTheExtensionWhateverItsCase) {
  test::TempDir dir;
  const std::wstring first = RowTypeName(Record(dir.File(L"a.klxq")));
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(RowTypeName(Record(dir.File(L"b.KLXQ"))), first);
  EXPECT_NE(RowTypeName(Record(dir.Folder(L"d.klxq"), FILE_ATTRIBUTE_DIRECTORY)), first)
      << "a folder is never taken for a file of its extension";
}

}  // namespace
}  // namespace klarex
