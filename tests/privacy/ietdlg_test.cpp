// The Advance dialog in-process: its opening state, the toggles and the
// expected total, a run with its progress and self-closing, the requests to
// close that a run ignores, a failed start, and the translated caption.
#include "privacy/ietdlg.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/language.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "view/klarex_doc.h"
#include "view/status_progress.h"

namespace klarex {
namespace {

constexpr UINT WM_RUN_SCRIPT = WM_APP + 1;
constexpr UINT_PTR kSafetyTimer = 77;

const wchar_t* const kRunHistoryKeys[] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
    L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache",
    L"Software\\WinRAR\\DialogEditHistory",
};
const wchar_t kRecentDocs[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

void PlantKey(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
      ERROR_SUCCESS) {
    const wchar_t text[] = L"a.exe";
    RegSetValueExW(key, L"a", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegCloseKey(key);
  }
}

bool KeyExists(const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The progress display the dialogs of a test share: the bar on the test's status bar.
CStatusProgress& TestProgress() {
  static CStatusProgress progress;
  return progress;
}

// Runs a test's script inside the modal loop, right after the dialog opened.
class ScriptedDlg : public CIETDlg {
 public:
  using Script = std::function<void(ScriptedDlg&)>;
  ScriptedDlg(HWND parent, CKlarexDoc& doc, Script script)
      : CIETDlg(parent, doc, TestProgress()), m_script(std::move(script)) {}

  bool failStart = false;

  static std::size_t Index(int id) {
    for (std::size_t i = 0; i < kCategoryCount; ++i) {
      if (kPrivacyCategories[i].id == id) return i;
    }
    ADD_FAILURE() << "no category " << id;
    return 0;
  }
  bool IsOn(int id) const { return IsToggleOn(Index(id)); }
  // The button keeps a greyed copy of every icon it was given.
  bool HasIcon(int id) const { return m_toggle[Index(id)].DisabledIcon() != nullptr; }
  bool IsEnabled(int id) const { return Item(id).IsEnabled(); }
  // A real click: the toggle flips itself, then the dialog gets the command.
  void Click(int id) const { Item(id).Send(BM_CLICK); }
  void Key(UINT vk) {
    MSG msg{m_hwnd, WM_KEYDOWN, vk, 0, 0, {}};
    ::IsDialogMessageW(m_hwnd, &msg);
  }
  void SetChoice(std::initializer_list<int> onIds) {
    for (int id = 201; id <= 206; ++id) {
      bool want = std::find(onIds.begin(), onIds.end(), id) != onIds.end();
      if (IsOn(id) != want) Click(id);
    }
  }

 protected:
  BOOL OnInitDialog() override {
    BOOL r = CIETDlg::OnInitDialog();
    Post(WM_RUN_SCRIPT);
    // A broken dialog must not hang the test program.
    ::SetTimer(m_hwnd, kSafetyTimer, 30000, nullptr);
    return r;
  }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
    if (msg == WM_RUN_SCRIPT) {
      m_script(*this);
      return true;
    }
    if (msg == WM_TIMER && wp == kSafetyTimer) {
      ADD_FAILURE() << "the dialog did not close";
      EndDialog(-2);
      return true;
    }
    return CIETDlg::OnMessage(msg, wp, lp, result);
  }
  bool StartWorker() override { return failStart ? false : CIETDlg::StartWorker(); }

 private:
  Script m_script;
};

class AdvanceDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    m_frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600,
                              400, nullptr, nullptr, nullptr, nullptr);
    m_status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_frame,
                               nullptr, nullptr, nullptr);
    TestProgress().Attach(m_status);
  }
  void TearDown() override {
    TestProgress().Detach();
    DestroyWindow(m_frame);
    for (const wchar_t* k : kRunHistoryKeys) SHDeleteKeyW(HKEY_CURRENT_USER, k);
    SHDeleteKeyW(HKEY_CURRENT_USER, kRecentDocs);
  }

  test::FakeMachine machine;
  test::RecordingStatus status;
  CKlarexDoc doc{BuildCatalogue(machine), machine, status};
  HWND m_frame = nullptr;
  HWND m_status = nullptr;
};

TEST_F(AdvanceDialog, OpensWithUrlHistoryAndRecentDocumentsAndCancelTouchesNothing) {
  PlantKey(kRecentDocs);
  std::vector<int> on;
  bool cleanEnabled = false;
  int total = 0;
  std::wstring caption;
  bool iconsSet = true;
  ScriptedDlg dlg(m_frame, doc, [&](ScriptedDlg& d) {
    for (int id = 201; id <= 206; ++id) {
      if (d.IsOn(id)) on.push_back(id);
      iconsSet = iconsSet && d.HasIcon(id);
    }
    cleanEnabled = d.IsEnabled(208);
    total = d.Total();
    caption = d.Text();
    d.Click(8);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(on, (std::vector<int>{203, 206}));
  EXPECT_TRUE(cleanEnabled);
  EXPECT_EQ(total, 36);
  EXPECT_EQ(caption, L"Klarex .NET [Advance]");
  EXPECT_TRUE(iconsSet);
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_TRUE(KeyExists(kRecentDocs)) << "Cancel before Clean must not clean";
}

TEST_F(AdvanceDialog, TogglesSetTheTotalAndTheCleanButton) {
  ScriptedDlg dlg(m_frame, doc, [&](ScriptedDlg& d) {
    d.SetChoice({});
    EXPECT_FALSE(d.IsEnabled(208));
    EXPECT_EQ(d.Total(), 1);
    d.Click(202);  // Find History: 8 keys + 1
    EXPECT_TRUE(d.IsEnabled(208));
    EXPECT_EQ(d.Total(), 9);
    d.Click(203);  // Recent Documents: 17 keys + 3
    EXPECT_EQ(d.Total(), 29);
    d.Click(201);
    d.Click(204);
    d.Click(205);
    d.Click(206);
    EXPECT_EQ(d.Total(), 51);
    d.Click(202);
    EXPECT_EQ(d.Total(), 42);
    d.SetChoice({});
    EXPECT_FALSE(d.IsEnabled(208));
    d.Key(VK_RETURN);  // nothing to run; the dialog stays
    EXPECT_TRUE(d.IsWindow());
    d.Key(VK_ESCAPE);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(AdvanceDialog, RunHistoryRunIgnoresCloseRequestsAndClosesItselfWhenDone) {
  for (const wchar_t* k : kRunHistoryKeys) PlantKey(k);
  PlantKey(kRecentDocs);
  bool runningAfterClean = false, cleanEnabled = true, cancelEnabled = true;
  ScriptedDlg dlg(m_frame, doc, [&](ScriptedDlg& d) {
    d.SetChoice({204});
    EXPECT_EQ(d.Total(), 1);
    d.Click(208);
    // The worker's completion is a posted message: it cannot arrive before
    // this script returns, so everything below happens during the run.
    runningAfterClean = d.IsRunning();
    cleanEnabled = d.IsEnabled(208);
    cancelEnabled = d.IsEnabled(8);
    d.Key(VK_ESCAPE);
    d.Key(VK_RETURN);
    d.Send(WM_CLOSE);
    d.Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    d.Send(WM_COMMAND, MAKEWPARAM(8, BN_CLICKED));
    d.Send(WM_COMMAND, MAKEWPARAM(208, BN_CLICKED));  // a second Clean starts nothing
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(runningAfterClean);
  EXPECT_FALSE(cleanEnabled);
  EXPECT_FALSE(cancelEnabled);
  // One run of three keys from a counter that starts at 1: 400 percent of a
  // total of 1, shown as a full bar and hidden at the end.
  EXPECT_EQ(dlg.Progress(), 4);
  HWND bar = TestProgress().Window();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 100);
  EXPECT_FALSE(IsWindowVisible(bar));
  for (const wchar_t* k : kRunHistoryKeys) EXPECT_FALSE(KeyExists(k)) << k;
  EXPECT_TRUE(KeyExists(kRecentDocs));
}

TEST_F(AdvanceDialog, ALaterOpeningStartsAfreshAndCleansTheSameKeysAgain) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    if (round == 0) PlantKey(kRunHistoryKeys[0]);  // the second round finds nothing to delete
    std::vector<int> on;
    ScriptedDlg dlg(m_frame, doc, [&](ScriptedDlg& d) {
      for (int id = 201; id <= 206; ++id) {
        if (d.IsOn(id)) on.push_back(id);
      }
      d.SetChoice({204});
      d.Click(208);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(on, (std::vector<int>{203, 206}));
    EXPECT_EQ(dlg.Progress(), 4);
    EXPECT_FALSE(KeyExists(kRunHistoryKeys[0]));
  }
}

TEST_F(AdvanceDialog, DefaultChoiceCleansRecentDocumentsAndUrlHistory) {
  PlantKey(kRecentDocs);
  PlantKey(kRunHistoryKeys[0]);
  ScriptedDlg dlg(m_frame, doc, [&](ScriptedDlg& d) { d.Click(208); });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.Progress(), 1 + 16 + 20);
  EXPECT_FALSE(KeyExists(kRecentDocs));
  EXPECT_TRUE(KeyExists(kRunHistoryKeys[0]));
}

TEST_F(AdvanceDialog, AWorkerThatCannotStartLeavesTheDialogOpenAsBefore) {
  for (const wchar_t* k : kRunHistoryKeys) PlantKey(k);
  ScriptedDlg dlg(m_frame, doc, [&](ScriptedDlg& d) {
    d.SetChoice({204, 206});
    d.Click(208);
    EXPECT_FALSE(d.IsRunning());
    EXPECT_TRUE(d.IsEnabled(208));
    EXPECT_TRUE(d.IsEnabled(8));
    EXPECT_TRUE(d.IsOn(204));
    EXPECT_EQ(d.Total(), 17);
    d.Click(8);
  });
  dlg.failStart = true;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  for (const wchar_t* k : kRunHistoryKeys) EXPECT_TRUE(KeyExists(k)) << k;
}

// A UTF-16 language file in the test's temporary folder.
std::wstring WriteLanguage(const test::TempDir& dir, const wchar_t* name,
                           const std::wstring& text) {
  const std::wstring path = dir / name;
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write("\xFF\xFE", 2);
  out.write(reinterpret_cast<const char*>(text.data()),
            static_cast<std::streamsize>(text.size() * sizeof(wchar_t)));
  return path;
}

TEST_F(AdvanceDialog, TakesItsTextsFromTheActiveLanguage) {
  test::TempDir dir;
  struct Texts {
    std::wstring caption, run, recent, clean, cancel;
  };
  auto open = [&](const std::wstring& file) {
    Language().SetSetting(file);
    Texts t;
    ScriptedDlg dlg(m_frame, doc, [&](ScriptedDlg& d) {
      t = {d.Text(), d.Item(204).Text(), d.Item(203).Text(), d.Item(208).Text(), d.Item(8).Text()};
      d.Click(8);
    });
    dlg.DoModal();
    Language().SetSetting(kDefaultLanguage);
    return t;
  };

  Texts german = open(WriteLanguage(dir, L"de.lng",
                                    L"[Title]\r\n4=Erweitert\r\n[Labels]\r\n4=&Ausf\u00fchren\r\n"
                                    L"[Buttons]\r\n2=&S\u00e4ubern\r\n"));
  EXPECT_EQ(german.caption, L"Klarex .NET [Erweitert]");
  EXPECT_EQ(german.run, L"&Ausf\u00fchren");
  EXPECT_EQ(german.recent, L"Recent &Documents");
  EXPECT_EQ(german.clean, L"&S\u00e4ubern");
  EXPECT_EQ(german.cancel, L"&Cancel");

  Texts bare = open(WriteLanguage(dir, L"bare.lng", L"[Labels]\r\n1=x\r\n"));
  EXPECT_EQ(bare.caption, L"Klarex .NET [Advance]");
  Texts missing = open(dir / L"gone.lng");
  EXPECT_EQ(missing.caption, L"Klarex .NET [Advance]");
  EXPECT_EQ(missing.run, L"&Run History");
}

}  // namespace
}  // namespace klarex
