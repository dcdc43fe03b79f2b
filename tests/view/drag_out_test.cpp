#include "view/drag_out.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "view/list_fixture.h"

namespace klarex {
namespace {

// Reads a CF_HDROP handle back with the shell's own reader.
std::vector<std::wstring> ReadDrop(HGLOBAL memory) {
  HDROP drop = static_cast<HDROP>(memory);
  std::vector<std::wstring> paths;
  UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    wchar_t buffer[1024] = {};
    ::DragQueryFileW(drop, i, buffer, 1024);
    paths.push_back(buffer);
  }
  return paths;
}

TEST(DropFilesBlock, HeaderPathsAndDoubleNul) {
  const std::vector<std::wstring> paths{L"C:\\Temp\\a.log", L"C:\\windows\\Temp\\x y.tmp"};
  std::vector<BYTE> block = BuildDropFilesBlock(paths);
  const size_t chars = (13 + 1) + (23 + 1) + 1;
  ASSERT_EQ(block.size(), 20 + chars * sizeof(wchar_t));

  DROPFILES header{};
  std::memcpy(&header, block.data(), sizeof(header));
  EXPECT_EQ(header.pFiles, 20u);
  EXPECT_EQ(header.pt.x, 0);
  EXPECT_EQ(header.pt.y, 0);
  EXPECT_FALSE(header.fNC);
  EXPECT_TRUE(header.fWide);
  const auto* text = reinterpret_cast<const wchar_t*>(block.data() + 20);
  EXPECT_EQ(std::wstring(text), paths[0]);
  EXPECT_EQ(std::wstring(text + 14), paths[1]);
  EXPECT_EQ(text[chars - 2], L'\0');
  EXPECT_EQ(text[chars - 1], L'\0');

  HGLOBAL memory = DropFilesToGlobal(block);
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(ReadDrop(memory), paths);
  ::GlobalFree(memory);
}

TEST(DropFilesBlock, NoPathsGiveAnEmptyDoubleNulList) {
  std::vector<BYTE> block = BuildDropFilesBlock({});
  ASSERT_EQ(block.size(), 20 + 2 * sizeof(wchar_t));
  for (size_t i = 20; i < block.size(); ++i) EXPECT_EQ(block[i], 0);
}

TEST(DropFilesDataObject, OffersOnlyHDropAndEachGetDataIsACopy) {
  const std::vector<std::wstring> paths{L"C:\\a.tmp", L"C:\\b\\c.tmp"};
  ComPtr<IDataObject> data = CreateDropFilesDataObject(paths);
  FORMATETC hdrop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  FORMATETC text{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  FORMATETC stream{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
  EXPECT_EQ(data->QueryGetData(&hdrop), S_OK);
  EXPECT_NE(data->QueryGetData(&text), S_OK);
  EXPECT_NE(data->QueryGetData(&stream), S_OK);

  STGMEDIUM first{}, second{};
  ASSERT_EQ(data->GetData(&hdrop, &first), S_OK);
  ASSERT_EQ(data->GetData(&hdrop, &second), S_OK);
  EXPECT_NE(first.hGlobal, second.hGlobal);
  EXPECT_EQ(ReadDrop(first.hGlobal), paths);
  ::ReleaseStgMedium(&first);
  EXPECT_EQ(ReadDrop(second.hGlobal), paths);
  ::ReleaseStgMedium(&second);
  EXPECT_NE(data->GetData(&text, &first), S_OK);

  ComPtr<IEnumFORMATETC> formats;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, formats.put()), S_OK);
  FORMATETC got{};
  ULONG fetched = 0;
  EXPECT_EQ(formats->Next(1, &got, &fetched), S_OK);
  EXPECT_EQ(got.cfFormat, CF_HDROP);
  EXPECT_NE(formats->Next(1, &got, &fetched), S_OK);
  // The last reference frees the object.
  EXPECT_EQ(data.release()->Release(), 0u);
}

TEST(DropSource, EscapeCancelsReleasedButtonDrops) {
  ComPtr<IDropSource> source = CreateDropSource();
  EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  EXPECT_EQ(source.release()->Release(), 0u);
  EXPECT_EQ(DragOutFiles({}), static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST(DragOut, CarriesTheSelectedRowsInListOrder) {
  test::ListWindow list;
  for (int i = 0; i < 5; ++i) list.Add(L"C:\\d\\f" + std::to_wstring(i));
  EXPECT_TRUE(SelectedRowPaths(list.Handle()).empty());
  list.Select(3);
  list.Select(1);
  EXPECT_EQ(SelectedRowPaths(list.Handle()),
            (std::vector<std::wstring>{L"C:\\d\\f1", L"C:\\d\\f3"}));
}

}  // namespace
}  // namespace klarex
