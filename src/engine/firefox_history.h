// Firefox's history database (places.sqlite in the roaming profile folder):
// opened once, cleaned by the privacy scans. Bookmarked and annotated places
// stay.
#pragma once
#include <string>
#include <utility>

#include "engine/sqlite_db.h"
#include "sys/status_sink.h"

namespace klarex {

class CFirefoxHistory {
 public:
  // `status` hears why a clean-up failed.
  CFirefoxHistory(std::wstring profileDir, IStatusSink& status);
  ~CFirefoxHistory();
  CFirefoxHistory(const CFirefoxHistory&) = delete;
  CFirefoxHistory& operator=(const CFirefoxHistory&) = delete;

  // Opens the profile's places.sqlite when there is one (never creates it).
  // A failure is kept as a status text for TakePendingStatus.
  bool Open();
  bool IsOpen() const { return m_db.IsOpen(); }
  // Visits and places that no bookmark or annotation holds.
  void ClearHistory();
  // What was typed into the address bar.
  void ClearInputHistory();
  // Text of a failed Open, kept until a status line can show it.
  std::wstring TakePendingStatus() { return std::exchange(m_pendingStatus, {}); }

 private:
  // A running Firefox holds its database locked: each statement gives up after
  // this long, so a whole privacy run waits a few seconds at most.
  static constexpr int kBusyTimeoutMs = 1500;

  std::wstring m_profileDir;
  IStatusSink& m_status;
  CSqliteDb m_db{kBusyTimeoutMs};
  std::wstring m_pendingStatus;
};

}  // namespace klarex
