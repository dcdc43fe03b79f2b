#include "framework/app.h"

#include "framework/frame_wnd.h"
#include "framework/resources.h"
#include "framework/unexpected_error.h"
#include "framework/view.h"

namespace klarex {

namespace {
// process-wide: barriers and message boxes find the main window from any layer or thread
CWinApp* g_app = nullptr;
constexpr UINT kAppTitleString = 57344;
constexpr UINT kViewId = 0xE900;  // the frame's first pane
}  // namespace

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, DocFactory doc, FrameFactory frame,
                                       ViewFactory view)
    : m_resourceId(resourceId),
      m_makeDoc(std::move(doc)),
      m_makeFrame(std::move(frame)),
      m_makeView(std::move(view)) {}

CSingleDocTemplate::~CSingleDocTemplate() {
  if (m_view && m_doc) m_doc->RemoveView(m_view.get());
  m_view.reset();
  m_frame.reset();
  m_doc.reset();
}

bool CSingleDocTemplate::OpenNewDocument() {
  m_doc = m_makeDoc();
  m_frame = m_makeFrame();
  m_view = m_makeView();
  if (!m_doc || !m_frame || !m_view) return false;
  if (!m_frame->LoadFrame(m_resourceId)) return false;
  m_view->SetDocument(m_doc.get());
  if (!m_view->Create(m_frame->Handle(), kViewId)) return false;
  m_doc->AddView(m_view.get());
  m_frame->SetView(m_view.get());
  m_frame->InitialUpdateFrame();
  return true;
}

CWinApp::CWinApp() : m_appName(L"Klarex .NET") { g_app = this; }

CWinApp::~CWinApp() {
  m_template.reset();
  if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

HWND AfxMainWindow() {
  CFrameWnd* frame = g_app ? g_app->MainFrame() : nullptr;
  return frame ? frame->Handle() : nullptr;
}

void CWinApp::SetRegistryKey(const std::wstring& company) {
  std::wstring title = LoadResString(kAppTitleString);
  if (!title.empty()) m_appName = title;
  m_profile = CProfile(company, m_appName);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
  m_template = std::move(docTemplate);
}

CFrameWnd* CWinApp::MainFrame() const {
  CFrameWnd* frame = m_template ? m_template->Frame() : nullptr;
  return frame && frame->IsWindow() ? frame : nullptr;
}

bool CWinApp::OnIdle(long count) {
  if (count == 0)
    if (CFrameWnd* frame = MainFrame()) frame->UpdateToolbarStates();
  return false;
}

int CWinApp::Run() {
  MSG msg;
  for (;;) {
    long idleCount = 0;
    while (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
      if (!Guarded(false, [&] { return OnIdle(idleCount++); })) break;
    do {
      BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) return static_cast<int>(msg.wParam);
      if (got < 0) return -1;
      // A failed message leaves the loop running for the next one.
      if (Guarded(false, [&] {
            CFrameWnd* frame = MainFrame();
            return frame && frame->PreTranslateMessage(&msg);
          }))
        continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    } while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

int AfxMessageBox(const std::wstring& text, UINT type) {
  CWinApp* app = AfxGetApp();
  std::wstring caption = app ? app->AppName() : L"Klarex .NET";
  return ::MessageBoxW(AfxMainWindow(), text.c_str(), caption.c_str(), type);
}

}  // namespace klarex
