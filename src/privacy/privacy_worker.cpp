#include "privacy/privacy_worker.h"

#include <objbase.h>

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

void RunPrivacyCategories(const PrivacyScanContext& scans, const CategoryFlags& selected,
                          std::atomic<int>& progress) {
  ComApartment com;
  if (selected[0]) ScanUrlHistory(scans, progress);
  if (selected[1]) ScanFormData(scans, progress);
  // Deleted from a copy: the catalogue keeps its list for the next run.
  if (selected[2]) DeleteRegistryKeys(scans.catalogue.runHistoryKeys, &progress);
  if (selected[3]) ScanFindHistory(scans, progress);
  if (selected[4]) ScanTypedUrls(scans, progress);
  if (selected[5]) ScanRecentDocuments(scans, progress);
}

}  // namespace klarex
