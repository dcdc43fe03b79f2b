// Exceptions of any type stop at the window, dialog, thread and message-loop
// barriers: the program goes on and the user reads what went wrong in a
// message box (closed here by a watcher thread, as a user would).
#include "framework/unexpected_error.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "../res/ids_dialogs.h"
#include "../res/ids_main.h"
#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/frame_wnd.h"
#include "framework/view.h"
#include "framework/wnd.h"
#include "framework/worker.h"

namespace klarex {
namespace {

// Not derived from std::exception, like the SQLite layer's error.
struct ForeignError {
  int code;
};

constexpr UINT WM_THROW = WM_APP + 7;

// Throws what wParam selects: 1 std::runtime_error, 2 a text, 3 a foreign type.
[[noreturn]] void Throw(WPARAM kind, const char* text) {
  if (kind == 1) throw std::runtime_error(text);
  if (kind == 2) throw text;
  throw ForeignError{42};
}

// Answers every message box of the program with OK and keeps its text;
// `answered` runs (on the watcher's thread) once each box is gone.
class BoxWatcher {
 public:
  using Answered = std::function<void(const std::wstring&)>;
  explicit BoxWatcher(Answered answered = nullptr)
      : m_answered(std::move(answered)), m_thread([this] { Watch(); }) {}
  ~BoxWatcher() {
    m_stop = true;
    m_thread.join();
  }
  std::vector<std::wstring> Texts() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_texts;
  }

 private:
  void Watch() {
    while (!m_stop) {
      if (HWND box = ::FindWindowW(L"#32770", L"Klarex .NET"); box && ::IsWindowVisible(box)) {
        std::wstring text;
        ::EnumChildWindows(box, &BoxWatcher::LongestStatic, reinterpret_cast<LPARAM>(&text));
        {
          std::lock_guard<std::mutex> lock(m_lock);
          m_texts.push_back(text);
        }
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        while (::IsWindow(box) && !m_stop)
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (m_answered) m_answered(text);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  static BOOL CALLBACK LongestStatic(HWND child, LPARAM found) {
    wchar_t cls[16] = L"", text[512] = L"";
    ::GetClassNameW(child, cls, 16);
    ::GetWindowTextW(child, text, 512);
    auto* best = reinterpret_cast<std::wstring*>(found);
    if (_wcsicmp(cls, L"Static") == 0 && wcslen(text) > best->size()) *best = text;
    return TRUE;
  }

  std::mutex m_lock;
  std::vector<std::wstring> m_texts;
  Answered m_answered;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// Keeps pumping until `done` or two seconds passed.
template <class Done>
void PumpUntil(Done done) {
  for (int i = 0; i < 200 && !done(); ++i) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(10);
  }
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& part) {
  for (const auto& t : texts) {
    if (t.find(part) != std::wstring::npos) return true;
  }
  return false;
}

TEST(UnexpectedError, DescriptionsOfEveryKind) {
  auto describe = [](WPARAM kind, const char* text) {
    try {
      Throw(kind, text);
    } catch (...) {
      return DescribeException(std::current_exception());
    }
  };
  EXPECT_EQ(describe(1, "disk gone"), L"disk gone");
  EXPECT_EQ(describe(2, "SB Queue underflow !"), L"SB Queue underflow !");
  EXPECT_EQ(describe(3, ""), L"");
  EXPECT_EQ(DescribeException(nullptr), L"");
  EXPECT_EQ(UnexpectedErrorText(L""), L"An unexpected error stopped the last action.");
  EXPECT_EQ(UnexpectedErrorText(L"why"), L"An unexpected error stopped the last action.\n\nwhy");
}

class ThrowingWindow : public CWnd {
 public:
  int handled = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_THROW) Throw(wp, reinterpret_cast<const char*>(lp));
    if (msg == WM_APP) ++handled;
    return CWnd::WindowProc(msg, wp, lp);
  }
};

TEST(UnexpectedError, StopsAtTheWindowProcedureAndTheWindowGoesOn) {
  BoxWatcher watcher;
  ThrowingWindow window;
  ASSERT_TRUE(window.CreateEx(0, L"Klarex.ThrowingWindow", L"", WS_OVERLAPPED, 0, 0, 100, 100,
                              nullptr, nullptr));
  EXPECT_EQ(::SendMessageW(window.Handle(), WM_THROW, 3, 0), 0);
  EXPECT_EQ(::SendMessageW(window.Handle(), WM_THROW, 2,
                           reinterpret_cast<LPARAM>("window: queue underflow")),
            0);
  EXPECT_EQ(::SendMessageW(window.Handle(), WM_THROW, 1,
                           reinterpret_cast<LPARAM>("window: broken state")),
            0);
  ::SendMessageW(window.Handle(), WM_APP, 0, 0);
  EXPECT_EQ(window.handled, 1);
  EXPECT_TRUE(window.IsWindow());
  PumpUntil([&] { return watcher.Texts().size() >= 3; });
  std::vector<std::wstring> texts = watcher.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], L"An unexpected error stopped the last action.");
  EXPECT_TRUE(Contains(texts, L"window: queue underflow"));
  EXPECT_TRUE(Contains(texts, L"window: broken state"));
  ::DestroyWindow(window.Handle());
}

class ThrowingDialog : public CDialog {
 public:
  ThrowingDialog() : CDialog(IDD_ADVANCE) {}

 protected:
  BOOL OnInitDialog() override {
    Post(WM_THROW, 2, reinterpret_cast<LPARAM>("dialog: bad answer"));
    Post(WM_APP);
    return TRUE;
  }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
    if (msg == WM_THROW) Throw(wp, reinterpret_cast<const char*>(lp));
    if (msg == WM_APP) {
      EndDialog(IDOK);  // still answering after the failure
      return true;
    }
    return CDialog::OnMessage(msg, wp, lp, result);
  }
};

TEST(UnexpectedError, StopsAtTheDialogProcedure) {
  BoxWatcher watcher;
  ThrowingDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  PumpUntil([&] { return !watcher.Texts().empty(); });
  EXPECT_TRUE(Contains(watcher.Texts(), L"dialog: bad answer"));
}

// The smallest program: a frame with a view, so that a main window exists.
class TestFrame : public CFrameWnd {
 public:
  bool PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_THROW && !msg->hwnd) Throw(1, "loop: cannot translate");
    return CFrameWnd::PreTranslateMessage(msg);
  }
};
class TestView : public CView {
 public:
  bool Create(HWND parent, UINT id) override {
    return CreateEx(0, L"Klarex.TestView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
  }
  void OnUpdate(CDocumentObserver*, LPARAM) override {}
};
class TestApp : public CWinApp {
 public:
  bool InitInstance() override {
    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CDocument>(); },
        [] { return std::make_unique<TestFrame>(); }, [] { return std::make_unique<TestView>(); }));
    return DocTemplate()->OpenNewDocument();
  }
};

TEST(UnexpectedError, AWorkerTellsTheMainWindowAndTheLoopSurvivesItsOwnFailures) {
  std::atomic<HWND> main{nullptr};
  // Once the loop's own failure has been read, the user closes the program.
  BoxWatcher watcher([&main](const std::wstring& text) {
    if (text.find(L"loop:") != std::wstring::npos) ::PostMessageW(main.load(), WM_CLOSE, 0, 0);
  });
  TestApp app;
  ASSERT_TRUE(app.InitInstance());
  main = AfxMainWindow();
  ASSERT_NE(main.load(), nullptr);

  // Workers show nothing themselves: their texts reach the main window.
  // The worker's run still ends with its completion.
  CWorker worker;
  bool finished = false;
  ASSERT_TRUE(worker.Start([] { Throw(2, "worker: lost its way"); }, [&] { finished = true; }));
  PumpUntil([&] { return finished && watcher.Texts().size() >= 1; });
  EXPECT_TRUE(finished);
  CWorker second;
  ASSERT_TRUE(second.Start([] { throw ForeignError{7}; }, [] {}));
  second.Join();
  PumpUntil([&] { return watcher.Texts().size() >= 2; });
  std::vector<std::wstring> texts = watcher.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_TRUE(Contains({texts[0]}, L"worker: lost its way"));
  EXPECT_EQ(texts[1], L"An unexpected error stopped the last action.");

  // A failure before dispatch leaves the loop running until the program ends.
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_THROW, 0, 0);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_FALSE(::IsWindow(main.load()));
  EXPECT_TRUE(Contains(watcher.Texts(), L"loop: cannot translate"));
}

}  // namespace
}  // namespace klarex
