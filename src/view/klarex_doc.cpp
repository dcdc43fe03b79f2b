#include "view/klarex_doc.h"

#include "engine/mode_scans.h"

namespace klarex {

CKlarexDoc::CKlarexDoc(Catalogue catalogue, IMachine& machine, IStatusSink& status,
                       const CKeepList& keep)
    : m_catalogue(std::move(catalogue)),
      m_machine(machine),
      m_unkept(keep, *this),
      m_firefox(m_catalogue.firefoxProfileDir, status) {
  m_firefox.Open();
}

void CKlarexDoc::Scan(CleaningMode mode) {
  m_lastMode = mode;
  ScanMode(mode, m_catalogue, m_machine, m_unkept);
}

PrivacyScanContext CKlarexDoc::PrivacyScans() {
  return {m_catalogue, m_machine, m_firefox, m_unkept};
}

std::vector<WatchedProgram> CKlarexDoc::WatchedPrograms() const {
  return BuiltInBrowsers(m_catalogue, m_machine);
}

void CKlarexDoc::Add(const FoundItem& item) {
  m_queue.Push(item);
  if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) UpdateAllViews(nullptr, 0);
}

void CKlarexDoc::EndOfScan() { UpdateAllViews(nullptr, 0); }

}  // namespace klarex
