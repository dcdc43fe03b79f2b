#include "view/klarex_doc.h"

#include "engine/mode_scans.h"

namespace klarex {

CKlarexDoc::CKlarexDoc(Catalogue catalogue, IMachine& machine, IStatusSink& status,
                       DefinitionSet definitions)
    : m_catalogue(std::move(catalogue)),
      m_definitions(std::move(definitions)),
      m_machine(machine),
      m_firefox(m_catalogue.firefoxProfileDir, status) {
  m_firefox.Open();
}

void CKlarexDoc::Scan(CleaningMode mode) {
  static const std::vector<Place> none;
  ScanMode(mode, m_catalogue, m_machine, *this, m_extended ? m_definitions.places : none);
}

PrivacyScanContext CKlarexDoc::PrivacyScans() { return {m_catalogue, m_machine, m_firefox, *this}; }

void CKlarexDoc::Add(const FoundItem& item) {
  m_queue.Push(item);
  if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) UpdateAllViews(nullptr, 0);
}

void CKlarexDoc::EndOfScan() { UpdateAllViews(nullptr, 0); }

}  // namespace klarex
