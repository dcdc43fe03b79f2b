#include "privacy/privacy_worker.h"

#include <objbase.h>

#include "engine/klarex_doc.h"
#include "sys/operations.h"

namespace klarex {
namespace {

// COM for the calling thread, balanced only when this call succeeded (S_FALSE
// counts: the thread was already in an apartment of the same kind).
class ComApartment {
 public:
  ComApartment() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(m_hr)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT m_hr;
};

}  // namespace

void RunPrivacyCategories(CKlarexDoc& doc, const CategoryFlags& selected,
                          std::atomic<int>* progress) {
  ComApartment com;
  if (selected[0]) doc.ScanUrlHistory(progress);
  if (selected[1]) doc.ScanFormData(progress);
  // Deleted from a copy: the catalogue keeps its list for the next run.
  if (selected[2]) DeleteRegistryKeys(doc.m_runHistoryKeys, progress);
  if (selected[3]) doc.ScanFindHistory(progress);
  if (selected[4]) doc.ScanTypedUrls(progress);
  if (selected[5]) doc.ScanRecentDocuments(progress);
}

}  // namespace klarex
