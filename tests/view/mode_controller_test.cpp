// The mode controller carrying out the modes' steps on a stand-in list and
// Advance dialog over a real document on a made-up machine.
#include "view/mode_controller.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "../res/ids_main.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"

namespace klarex {
namespace {

// Records what the controller does to the list; rows are what it drained.
class FakeList final : public IModeList, public CDocumentObserver {
 public:
  explicit FakeList(CKlarexDoc& doc) : m_doc(doc) { m_doc.AddView(this); }
  ~FakeList() override { m_doc.RemoveView(this); }
  FakeList(const FakeList&) = delete;
  FakeList& operator=(const FakeList&) = delete;

  void OnUpdate(CDocumentObserver*, LPARAM) override {
    while (!m_doc.Queue().IsEmpty()) {
      m_doc.Queue().Pop();
      ++rows;
    }
  }
  void ClearRows() override {
    calls.push_back(L"clear");
    rows = 0;
  }
  void DrainFoundItems() override {
    calls.push_back(L"drain");
    OnUpdate(nullptr, 0);
  }
  int RowCount() const override { return rows; }
  void RefreshAfterFill() override { calls.push_back(L"refresh"); }
  HWND DialogOwner() const override { return reinterpret_cast<HWND>(0x1234); }

  std::vector<std::wstring> calls;
  int rows = 0;

 private:
  CKlarexDoc& m_doc;
};

class FakeAdvance final : public IAdvanceDialog {
 public:
  explicit FakeAdvance(std::vector<std::wstring>& calls) : m_calls(calls) {}
  void Run(HWND owner, CKlarexDoc&) override {
    m_calls.push_back(L"advance");
    owners.push_back(owner);
  }
  std::vector<HWND> owners;

 private:
  std::vector<std::wstring>& m_calls;
};

class ModeControllerTest : public ::testing::Test {
 protected:
  void PlantCookie() {
    std::wstring cookies;
    machine.SpecialFolder(CSIDL_COOKIES, cookies);
    machine.File(cookies.substr(machine.Root().size() + 1) + L"\\user@site.txt");
  }

  test::FakeMachine machine;
  test::RecordingStatus status;
  CKlarexDoc doc{BuildCatalogue(machine), machine, status};
  FakeList list{doc};
  FakeAdvance advance{list.calls};
  CModeController modes{doc, list, advance, [this] { list.calls.push_back(L"states"); }};
};

TEST_F(ModeControllerTest, StartsWithTheStandardList) {
  machine.File(L"Windows\\setup.log");
  modes.Start();
  EXPECT_EQ(modes.State(), (ModeState{CleaningMode::Standard, true}));
  EXPECT_EQ(list.calls, (std::vector<std::wstring>{L"clear", L"refresh"}));
  EXPECT_EQ(list.rows, 1);
}

TEST_F(ModeControllerTest, OfflineShowsTheModeRunsTheDialogThenDrainsAndRefreshes) {
  EXPECT_TRUE(modes.OnCommand(ID_MODE_OFFLINE));
  EXPECT_EQ(modes.State().mode, CleaningMode::Offline);
  EXPECT_EQ(list.calls,
            (std::vector<std::wstring>{L"clear", L"states", L"advance", L"drain", L"refresh"}));
  EXPECT_EQ(advance.owners, std::vector<HWND>{reinterpret_cast<HWND>(0x1234)});
}

TEST_F(ModeControllerTest, CookiesWithNothingFoundGoOnToOfflineAndStayDisabled) {
  EXPECT_TRUE(modes.OnCommand(ID_MODE_COOKIES));
  EXPECT_EQ(modes.State(), (ModeState{CleaningMode::Offline, false}));
  EXPECT_EQ(list.calls, (std::vector<std::wstring>{L"clear", L"clear", L"states", L"advance",
                                                   L"drain", L"refresh", L"refresh"}));

  PlantCookie();
  list.calls.clear();
  modes.OnCommand(ID_MODE_COOKIES);  // found: the list stays Cookies
  EXPECT_EQ(modes.State(), (ModeState{CleaningMode::Cookies, false}));
  EXPECT_EQ(list.calls, (std::vector<std::wstring>{L"clear", L"refresh"}));
  EXPECT_EQ(list.rows, 1);
  modes.OnCommand(ID_MODE_STANDARD);
  EXPECT_TRUE(modes.State().cookiesAvailable);
  EXPECT_FALSE(modes.OnCommand(ID_DELETE));
}

TEST_F(ModeControllerTest, AnEmptiedListMovesToTheNextMode) {
  PlantCookie();
  modes.Start();
  modes.OnListEmptied();
  EXPECT_EQ(modes.State().mode, CleaningMode::Cookies);
  modes.OnListEmptied();
  EXPECT_EQ(modes.State().mode, CleaningMode::Offline);
  EXPECT_EQ(list.calls.back(), L"refresh");
  EXPECT_EQ(advance.owners.size(), 1u);
  modes.OnListEmptied();
  EXPECT_EQ(modes.State().mode, CleaningMode::Standard);
}

}  // namespace
}  // namespace klarex
