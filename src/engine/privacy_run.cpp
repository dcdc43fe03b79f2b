#include "engine/privacy_run.h"

#include <objbase.h>

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

CategoryWeights MakeCategoryWeights(std::size_t findHistoryKeys, std::size_t recentDocKeys) {
  return {16, 4, 1, static_cast<int>(findHistoryKeys) + 1, 1, static_cast<int>(recentDocKeys) + 3};
}

int ExpectedTotal(const CategoryWeights& weights, const CategoryFlags& on) {
  int total = 0;
  for (std::size_t i = 0; i < kCategoryCount; ++i) {
    if (on[i]) total += weights[i];
  }
  return total > 0 ? total : 1;
}

const NameList& CategoryRegistryKeys(const Catalogue& catalogue, std::size_t category) {
  static const NameList kNone;
  switch (category) {
    case kAutoComplete:
      return catalogue.autoCompleteKeys;
    case kRunHistory:
      return catalogue.runHistoryKeys;
    case kFindHistory:
      return catalogue.findHistoryKeys;
    case kTypedUrls:
      return catalogue.typedUrlKeys;
    case kRecentDocuments:
      return catalogue.recentDocKeys;
    default:
      return kNone;
  }
}

void RunPrivacyCategories(const PrivacyScanContext& scans, const CategoryFlags& selected,
                          std::atomic<int>& progress) {
  ComApartment com;
  if (selected[kUrlHistory]) ScanUrlHistory(scans, progress);
  if (selected[kAutoComplete]) ScanFormData(scans, progress);
  if (selected[kRunHistory]) ScanRunHistory(scans, progress);
  if (selected[kFindHistory]) ScanFindHistory(scans, progress);
  if (selected[kTypedUrls]) ScanTypedUrls(scans, progress);
  if (selected[kRecentDocuments]) ScanRecentDocuments(scans, progress);
}

}  // namespace klarex
