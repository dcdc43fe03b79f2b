// Firefox's history database, damaged in the ways disks and crashes damage it.
// Invariants: no crash, each case within 5 s (a locked database included), and
// no bookmark lost from a database that could be read before.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "engine/firefox_history.h"
#include "fuzz/fuzz.h"
#include "support/definitions_support.h"
#include "support/places_db.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace klarex::fuzz {
namespace {

enum Damage : uint32_t {
  kIntact,
  kTruncated,
  kHeader,
  kZeroPage,
  kGarbagePage,
  kFlips,
  kGarbage,
  kEmpty,
  kWal,
  kLocked,
  kDamageKinds
};

const std::string& Template() {
  static const std::string bytes = [] {
    const std::wstring path = WorkFolder() + L"\\template.sqlite";
    test::CreatePlacesDb(path);
    return test::ReadBytes(path);
  }();
  return bytes;
}

size_t PageSize(const std::string& db) {
  if (db.size() < 100) return 4096;
  const size_t size =
      (static_cast<unsigned char>(db[16]) << 8) | static_cast<unsigned char>(db[17]);
  return size == 1 ? 65536 : (size < 512 ? 4096 : size);
}

std::string RandomBytes(Rng& rng, size_t n) {
  std::string out(n, '\0');
  for (char& c : out) c = static_cast<char>(rng.Below(256));
  return out;
}

std::string Generate(Rng& rng, uint64_t index) {
  std::string db = Template();
  std::string wal;
  // One case in a thousand (the 8th of each) holds the database locked: it costs seconds.
  uint32_t damage = index % 1000 == 7 ? kLocked : static_cast<uint32_t>(rng.Below(kLocked));
  const size_t page = PageSize(db);
  const size_t pages = db.size() / page;
  switch (damage) {
    case kTruncated:
      db.resize(rng.Below(db.size()));
      break;
    case kHeader:
      for (size_t i = 0, n = 1 + rng.Below(6); i < n; ++i) db[rng.Below(100)] = rng.Below(256);
      break;
    case kZeroPage:
    case kGarbagePage: {
      const size_t at = (rng.OneIn(3) ? 0 : rng.Below(pages)) * page;
      const std::string fill =
          damage == kZeroPage ? std::string(page, '\0') : RandomBytes(rng, page);
      db.replace(at, page, fill);
      break;
    }
    case kFlips:
      Mutate(rng, db);
      break;
    case kGarbage:
      db = RandomBytes(rng, rng.Below(3 * page));
      if (rng.OneIn(2) && db.size() > 16) db.replace(0, 16, std::string("SQLite format 3\0", 16));
      break;
    case kEmpty:
      db.clear();
      break;
    case kWal:
      db[18] = db[19] = 2;  // the header says: write-ahead log
      wal =
          rng.OneIn(2) ? RandomBytes(rng, rng.Below(8 * page)) : db.substr(0, rng.Below(db.size()));
      break;
    default:
      break;
  }
  std::string input;
  PutU32(input, damage);
  PutU32(input, static_cast<uint32_t>(db.size()));
  return input + db + wal;
}

void Write(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string Check(const std::string& input) {
  if (input.size() < 8) return {};
  const uint32_t damage = GetU32(input, 0);
  const std::string db = input.substr(8, GetU32(input, 4));
  const std::string wal = input.substr(std::min(input.size(), 8 + db.size()));
  static unsigned counter = 0;
  const std::wstring dir = WorkFolder() + L"\\places-" + std::to_wstring(counter++);
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring path = dir + L"\\places.sqlite";
  Write(path, db);
  if (!wal.empty()) Write(path + L"-wal", wal);
  const char kBookmarks[] = "SELECT count(*) FROM moz_bookmarks";
  const long long before = test::QueryNumber(path, kBookmarks);
  {
    std::unique_ptr<test::DatabaseLock> lock;
    if (damage == kLocked) lock = std::make_unique<test::DatabaseLock>(path);
    test::RecordingStatus status;
    CFirefoxHistory history(dir, status);
    history.Open();
    history.ClearHistory();
    history.ClearInputHistory();
  }
  const long long after = test::QueryNumber(path, kBookmarks);
  const long long kept =
      test::QueryNumber(path, "SELECT count(*) FROM moz_places WHERE id IN (1,2)");
  test::RemoveTree(dir);
  if (before >= 0 && after != before) return "bookmarks lost";
  if (damage == kIntact && kept != 2) return "a bookmarked or annotated page lost";
  return {};
}

}  // namespace

const Target kPlaces{"places", Generate, Check, 5000};

}  // namespace klarex::fuzz
