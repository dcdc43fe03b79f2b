#include "framework/document.h"

#include <algorithm>

namespace klarex {

void CDocument::AddView(CDocumentObserver* view) {
  if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CDocument::RemoveView(CDocumentObserver* view) { std::erase(m_views, view); }

void CDocument::UpdateAllViews(CDocumentObserver* sender, LPARAM hint) {
  // Views are registered on the user-interface thread before any scan runs, so
  // the list is stable while a worker thread calls this.
  for (CDocumentObserver* view : m_views)
    if (view != sender) view->OnUpdate(sender, hint);
}

}  // namespace klarex
