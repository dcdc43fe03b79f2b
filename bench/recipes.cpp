// Time of each mode recipe on a planted made-up machine (median of several
// runs; the items stay, so every run finds the same).
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_util.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"
#include "view/klarex_doc.h"

namespace {

using klarex::CKlarexDoc;
using klarex::CleaningMode;
using klarex::test::FakeMachine;

// Stands in for the list: drains the document's queue on every update.
class Drain final : public klarex::CDocumentObserver {
 public:
  explicit Drain(CKlarexDoc& doc) : m_doc(doc) { m_doc.AddView(this); }
  ~Drain() override { m_doc.RemoveView(this); }
  Drain(const Drain&) = delete;
  Drain& operator=(const Drain&) = delete;
  void OnUpdate(klarex::CDocumentObserver*, LPARAM) override {
    while (!m_doc.Queue().IsEmpty()) items.push_back(m_doc.Queue().Pop());
  }
  std::vector<klarex::FoundItem> items;

 private:
  CKlarexDoc& m_doc;
};

constexpr int kRuns = 5;

// A well-used machine: junk in the Windows folder, log trees, browser profiles
// with caches, and an Edge package with a deep AC tree.
void Plant(FakeMachine& machine) {
  const std::wstring roaming = klarex::test::kRoamingDir;
  const std::wstring local = klarex::test::kLocalDir;
  for (int i = 0; i < 300; ++i) {
    const std::wstring n = std::to_wstring(i);
    machine.File(L"Windows\\file" + n + (i % 3 ? L".dll" : L".log"));
    machine.File(L"Windows\\System32\\file" + n + (i % 5 ? L".dll" : L".tmp"));
    machine.File(L"Windows\\Prefetch\\APP" + n + L".pf");
    machine.File(L"Windows\\Panther\\sub" + std::to_wstring(i % 10) + L"\\f" + n +
                 (i % 4 ? L".xml" : L".log"));
    machine.File(L"Windows\\Microsoft.NET\\Framework\\v" + std::to_wstring(i % 6) + L"\\f" + n +
                 (i % 7 ? L".dll" : L".log"));
    machine.File(local + L"\\Microsoft\\Windows\\INetCookies\\c" + n + L".txt");
    machine.File(roaming + L"\\Mozilla\\Firefox\\Profiles\\x.default\\storage\\default\\s" + n);
    machine.File(roaming + L"\\Google\\Chrome\\User Data\\Default\\Default\\Local Storage\\l" + n);
    machine.File(roaming + L"\\Google\\Chrome\\User Data\\Default\\Cache\\data_" + n);
    machine.File(local + L"\\Mozilla\\Firefox\\Profiles\\x.default\\cache2\\entries\\e" + n);
  }
  const std::wstring ac = local + L"\\Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\AC\\";
  for (int i = 0; i < 1500; ++i) {
    const std::wstring n = std::to_wstring(i);
    const std::wstring folder = L"#!" + std::to_wstring(i % 30) + L"\\MicrosoftEdge\\" +
                                (i % 2 ? L"User\\Default\\" : L"") +
                                (i % 3 ? L"Cache\\" : L"Data\\");
    machine.File(ac + folder + L"f" + n);
  }
  machine.File(ac + L"MicrosoftEdge\\Cookies\\c.txt");
  machine.File(ac + L"#!0\\AppCache\\a.dat");
  const std::wstring ini = machine.File(roaming + L"\\Mozilla\\Firefox\\profiles.ini");
  WritePrivateProfileStringW(L"Profile0", L"Path", L"Profiles/x.default", ini.c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  machine.environment[L"ALLUSERSPROFILE"] = machine.Folder(L"ProgramData");
  machine.environment[L"TMP"] = machine.Folder(L"Users\\u\\Temp");
  machine.SetDrive(L'C', DRIVE_FIXED);
}

double Median(Drain& view, const std::function<void()>& recipe) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    view.items.clear();
    times.push_back(klarex::bench::Milliseconds(recipe));
  }
  return klarex::bench::Median(times);
}

}  // namespace

int main() {
  FakeMachine machine;
  Plant(machine);
  klarex::test::RecordingStatus status;
  CKlarexDoc doc(klarex::BuildCatalogue(machine), machine, status);
  Drain view(doc);

  const double standard = Median(view, [&] { doc.Scan(CleaningMode::Standard); });
  const size_t standardItems = view.items.size();
  const double cookies = Median(view, [&] { doc.Scan(CleaningMode::Cookies); });
  const size_t cookieItems = view.items.size();
  const double offline = Median(view, [&] { doc.Scan(CleaningMode::Offline); });
  const size_t offlineItems = view.items.size();

  std::fprintf(stderr, "items: standard %zu, cookies %zu, offline %zu\n", standardItems,
               cookieItems, offlineItems);
  std::printf("recipe-standard ms: %.1f (goal <= 1000)\n", standard);
  std::printf("recipe-cookies ms: %.1f (goal <= 1000)\n", cookies);
  std::printf("recipe-offline ms: %.1f (goal <= 1000)\n", offline);
  return 0;
}
