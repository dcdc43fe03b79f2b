// View half of the document/view pair: a child window of the frame that shows
// the document and takes commands first.
#pragma once
#include <windows.h>

#include "framework/command.h"
#include "framework/document.h"
#include "framework/wnd.h"

namespace klarex {

class CView : public CWnd, public CDocumentObserver, public CCmdTarget {
 public:
  // Creates the view window as the frame's client with control id `id`.
  virtual bool Create(HWND parent, UINT id) = 0;
  // Once, after frame and view exist: shows the document for the first time.
  virtual void OnInitialUpdate() { OnUpdate(nullptr, 0); }

  void SetDocument(CDocument* doc) { m_doc = doc; }
  CDocument* Document() const { return m_doc; }

 private:
  CDocument* m_doc = nullptr;
};

}  // namespace klarex
