#include "frame/single_instance.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace klarex {
namespace {

TEST(SingleInstance, RecordLayout) {
  EXPECT_EQ(offsetof(InstanceRecord, running), 0u);
  EXPECT_EQ(offsetof(InstanceRecord, reserved), 4u);
  EXPECT_EQ(offsetof(InstanceRecord, className), 16u);
  EXPECT_EQ(sizeof(InstanceRecord), 4096u);
  EXPECT_EQ(SharedInstanceRecord().reserved[0], 256);
}

TEST(SingleInstance, ClassNameIsCutTo255Characters) {
  RecordInstanceClassName(std::wstring(400, L'k'));
  EXPECT_EQ(std::wstring(SharedInstanceRecord().className), std::wstring(255, L'k'));
  RecordInstanceClassName(L"Klarex.MainFrame");
  EXPECT_STREQ(SharedInstanceRecord().className, L"Klarex.MainFrame");
}

TEST(SingleInstance, AnEarlierWindowIsBroughtForwardOnlyWhenItExists) {
  InstanceRecord record{};
  EXPECT_FALSE(ActivateEarlierInstance(record));  // first start
  EXPECT_EQ(record.running, 1);

  wcscpy(record.className, L"KlarexTest.NoSuchFrame");
  EXPECT_FALSE(ActivateEarlierInstance(record));  // flag set, but no such window
  EXPECT_EQ(record.running, 1);

  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KlarexTest.Frame";
  RegisterClassW(&wc);
  HWND first = CreateWindowW(wc.lpszClassName, L"first", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                             nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(first, nullptr);
  ShowWindow(first, SW_MINIMIZE);
  wcscpy(record.className, L"KlarexTest.Frame");
  EXPECT_TRUE(ActivateEarlierInstance(record));
  EXPECT_FALSE(IsIconic(first));  // restored
  DestroyWindow(first);
}

}  // namespace
}  // namespace klarex
