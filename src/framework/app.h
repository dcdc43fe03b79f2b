// The application object: message loop with idle processing, the registry
// profile root, the single-document template, message boxes.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/command.h"
#include "framework/document.h"
#include "framework/profile.h"

namespace klarex {

class CFrameWnd;
class CView;

// Ties one document, its frame and its view together; owns all three.
class CSingleDocTemplate {
 public:
  using DocFactory = std::function<std::unique_ptr<CDocument>()>;
  using FrameFactory = std::function<std::unique_ptr<CFrameWnd>()>;
  using ViewFactory = std::function<std::unique_ptr<CView>()>;

  CSingleDocTemplate(UINT resourceId, DocFactory doc, FrameFactory frame, ViewFactory view);
  ~CSingleDocTemplate();

  // Creates the untitled document, the frame (menu, accelerators and icon of
  // the resource id) and the view, then runs the frame's initial update.
  bool OpenNewDocument();
  CDocument* Document() const { return m_doc.get(); }
  CFrameWnd* Frame() const { return m_frame.get(); }
  CView* View() const { return m_view.get(); }

 private:
  UINT m_resourceId;
  DocFactory m_makeDoc;
  FrameFactory m_makeFrame;
  ViewFactory m_makeView;
  // Destroyed in reverse: view and frame windows go before the document.
  std::unique_ptr<CDocument> m_doc;
  std::unique_ptr<CFrameWnd> m_frame;
  std::unique_ptr<CView> m_view;
};

class CWinApp : public CCmdTarget {
 public:
  CWinApp();
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // False ends the process at once.
  virtual bool InitInstance() = 0;
  // Pumps messages until WM_QUIT; returns its exit code.
  int Run();
  // One idle pass: pushes command states to the toolbar. False: no more idle work.
  virtual bool OnIdle(long count);

  // Profile root becomes HKEY_CURRENT_USER\Software\<company>\<application title>.
  void SetRegistryKey(const std::wstring& company);
  const CProfile& Profile() const { return m_profile; }
  // The application title (string 57344).
  const std::wstring& AppName() const { return m_appName; }

  void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
  CSingleDocTemplate* DocTemplate() const { return m_template.get(); }
  CFrameWnd* MainFrame() const;

 private:
  std::wstring m_appName;
  CProfile m_profile;
  std::unique_ptr<CSingleDocTemplate> m_template;
};

CWinApp* AfxGetApp();
HWND AfxMainWindow();
// A message box owned by the main window, captioned with the application title.
int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);

}  // namespace klarex
