#include "view/klarex_doc.h"

#include "engine/mode_scans.h"

namespace klarex {

CKlarexDoc::CKlarexDoc(Catalogue catalogue, IMachine& machine, IStatusSink& status,
                       const CKeepList& keep, DefinitionSet definitions)
    : m_catalogue(std::move(catalogue)),
      m_definitions(std::move(definitions)),
      m_machine(machine),
      m_unkept(keep, *this),
      m_firefox(m_catalogue.firefoxProfileDir, status) {
  m_firefox.Open();
}

void CKlarexDoc::Scan(CleaningMode mode) {
  m_lastMode = mode;
  static const std::vector<Place> none;
  ScanMode(mode, m_catalogue, m_machine, m_unkept, m_extended ? m_definitions.places : none);
}

PrivacyScanContext CKlarexDoc::PrivacyScans() {
  return {m_catalogue, m_machine, m_firefox, m_unkept};
}

std::vector<WatchedProgram> CKlarexDoc::WatchedPrograms() const {
  std::vector<WatchedProgram> programs = BuiltInBrowsers(m_catalogue, m_machine);
  if (m_extended) {
    std::vector<WatchedProgram> more =
        DefinitionPrograms(m_definitions.places, m_catalogue, m_machine);
    programs.insert(programs.end(), std::make_move_iterator(more.begin()),
                    std::make_move_iterator(more.end()));
  }
  return programs;
}

void CKlarexDoc::Add(const FoundItem& item) {
  m_queue.Push(item);
  if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) UpdateAllViews(nullptr, 0);
}

void CKlarexDoc::EndOfScan() { UpdateAllViews(nullptr, 0); }

}  // namespace klarex
