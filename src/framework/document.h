// Document half of the document/view pair. Holds no window: the engine's
// document derives from it and is tested without any window.
#pragma once
#include <windows.h>

#include <vector>

namespace klarex {

class CDocument;

// Anything that shows a document: the list view, or a test's observer.
class CDocumentObserver {
 public:
  virtual ~CDocumentObserver() = default;
  virtual void OnUpdate(CDocumentObserver* sender, LPARAM hint) = 0;
};

class CDocument {
 public:
  CDocument() = default;
  virtual ~CDocument() = default;
  CDocument(const CDocument&) = delete;
  CDocument& operator=(const CDocument&) = delete;

  void AddView(CDocumentObserver* view);
  void RemoveView(CDocumentObserver* view);
  // Calls OnUpdate of every view but `sender`, on the calling thread.
  void UpdateAllViews(CDocumentObserver* sender, LPARAM hint = 0);

 private:
  std::vector<CDocumentObserver*> m_views;
};

}  // namespace klarex
