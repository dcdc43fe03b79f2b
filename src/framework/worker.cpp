#include "framework/worker.h"

#include <memory>

#include "framework/app_messages.h"
#include "framework/unexpected_error.h"
#include "framework/wnd.h"

namespace klarex {

namespace {

constexpr wchar_t kWindowClass[] = L"Klarex.Worker";

bool RegisterWindowClass(WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (::GetClassInfoExW(ModuleInstance(), kWindowClass, &wc)) return true;
  wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = ModuleInstance();
  wc.lpszClassName = kWindowClass;
  return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

CWorker::~CWorker() {
  Join();
  if (m_window) ::DestroyWindow(m_window);
}

bool CWorker::Start(std::function<void()> body, std::function<void()> done, int priority) {
  if (m_running) return false;
  if (!m_window) {
    if (!RegisterWindowClass(&CWorker::WindowProc)) return false;
    m_window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ModuleInstance(), nullptr);
    if (!m_window) return false;
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  m_body = std::move(body);
  m_done = std::move(done);
  m_joining = false;
  m_thread.reset(::CreateThread(nullptr, 0, &CWorker::ThreadProc, this, CREATE_SUSPENDED, nullptr));
  if (!m_thread) return false;
  m_running = true;
  ::SetThreadPriority(m_thread.get(), priority);
  ::ResumeThread(m_thread.get());
  return true;
}

bool CWorker::PostToUi(std::function<void()> call) {
  return PostOwned(m_window, kMsgWorkerCall, 0,
                   std::make_unique<std::function<void()>>(std::move(call)));
}

DWORD WINAPI CWorker::ThreadProc(void* self) {
  auto* worker = static_cast<CWorker*>(self);
  // The completion is posted however the body ends; a full queue is waited
  // out, unless the user-interface thread is joining (it drops it anyway).
  struct Completion {
    CWorker* worker;
    ~Completion() {
      while (!::PostMessageW(worker->m_window, kMsgWorkerDone, 0, 0) && !worker->m_joining.load() &&
             ::IsWindow(worker->m_window))
        ::Sleep(10);
    }
  } completion{worker};
  // A worker's failure ends only the worker; the user is told on the main window.
  Guarded(0, [worker] {
    worker->m_body();
    return 0;
  });
  return 0;
}

void CWorker::Finish() {
  if (!m_thread) return;  // already joined
  // The completion is the thread's last act; its end is a moment away.
  ::WaitForSingleObject(m_thread.get(), INFINITE);
  m_thread.reset();
  m_running = false;
  // Taken out first: what it does may start the next run.
  const std::function<void()> done = std::move(m_done);
  if (done) done();
}

void CWorker::Join() {
  if (!m_thread) return;
  m_joining = true;
  HANDLE thread = m_thread.get();
  while (::MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0 + 1) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  m_thread.reset();
  m_running = false;
  DropPosted();
}

void CWorker::DropPosted() {
  DiscardPosted<std::function<void()>>(m_window, kMsgWorkerCall);
  MSG pending;
  while (::PeekMessageW(&pending, m_window, kMsgWorkerDone, kMsgWorkerDone, PM_REMOVE)) {
    if (pending.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(pending.wParam));
      break;
    }
  }
}

LRESULT CALLBACK CWorker::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* worker = reinterpret_cast<CWorker*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == kMsgWorkerCall) {
    std::unique_ptr<std::function<void()>> call = TakePosted<std::function<void()>>(lp);
    Guarded(0, [&] {
      // A call that arrives after a Join belongs to a run that is over.
      if (worker && worker->m_thread && *call) (*call)();
      return 0;
    });
    return 0;
  }
  if (msg == kMsgWorkerDone) {
    Guarded(0, [&] {
      if (worker) worker->Finish();
      return 0;
    });
    return 0;
  }
  if (msg == WM_DESTROY) DiscardPosted<std::function<void()>>(hwnd, kMsgWorkerCall);
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace klarex
