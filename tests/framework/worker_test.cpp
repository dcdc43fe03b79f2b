// The worker abstraction: calls back to the user-interface thread in order,
// the completion after the thread, and joining while the body waits for an
// answer. (A body that throws: framework.unexpected_error.)
#include "framework/worker.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace klarex {
namespace {

// Dispatches this thread's messages until `done` holds (or `rounds` of 5 ms pass).
template <class Done>
bool PumpUntil(Done done, int rounds = 1000) {
  for (int i = 0; i < rounds && !done(); ++i) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(5);
  }
  return done();
}

TEST(Worker, CallsRunOnTheStartingThreadInOrderAndTheCompletionLast) {
  CWorker worker;
  const DWORD ui = ::GetCurrentThreadId();
  std::vector<std::wstring> log;
  bool others = false;
  ASSERT_TRUE(worker.Start(
      [&] {
        for (int i = 0; i < 50; ++i)
          worker.PostToUi([&, i] {
            others = others || ::GetCurrentThreadId() != ui;
            log.push_back(std::to_wstring(i));
          });
      },
      [&] {
        EXPECT_FALSE(worker.IsRunning());
        log.push_back(L"done");
      }));
  EXPECT_TRUE(worker.IsRunning());
  EXPECT_FALSE(worker.Start([] {}, [] {})) << "one run at a time";
  ASSERT_TRUE(PumpUntil([&] { return !worker.IsRunning(); }));
  ASSERT_EQ(log.size(), 51u);
  EXPECT_EQ(log.front(), L"0");
  EXPECT_EQ(log[49], L"49");
  EXPECT_EQ(log.back(), L"done");
  EXPECT_FALSE(others);
  // The next run starts afresh.
  bool again = false;
  ASSERT_TRUE(worker.Start([] {}, [&] { again = true; }));
  EXPECT_TRUE(PumpUntil([&] { return again; }));
}

TEST(Worker, JoinAnswersWhatTheBodySendsThenDropsItsCalls) {
  CWorker worker;
  HWND here = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
  auto payload = std::make_shared<int>(7);
  bool ran = false, done = false;
  LRESULT answer = 0;
  ASSERT_TRUE(worker.Start(
      [&] {
        worker.PostToUi([&, payload] { ran = true; });
        // Waits for this thread to answer: Join must not leave it waiting.
        answer = ::SendMessageW(here, WM_GETTEXTLENGTH, 0, 0) + 1;
      },
      [&] { done = true; }));
  worker.Join();
  EXPECT_FALSE(worker.IsRunning());
  EXPECT_EQ(answer, 1);
  PumpUntil([] { return false; }, 20);
  EXPECT_FALSE(ran);
  EXPECT_FALSE(done);
  EXPECT_EQ(payload.use_count(), 1) << "the dropped call's payload was freed";
  ::DestroyWindow(here);
}

}  // namespace
}  // namespace klarex
