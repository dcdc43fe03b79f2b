// A thin layer over sqlite3.dll: open a database and run data-changing
// statements. Every failure throws CSqliteError.
#pragma once
#include <string>

struct sqlite3;

namespace klarex {

class CSqliteError {
 public:
  // The message becomes "<NAME>[<code>]: <message>". With `releaseMessage` the
  // given text (allocated by SQLite) is freed with sqlite3_free.
  CSqliteError(int code, char* message, bool releaseMessage);
  CSqliteError(int code, const char* message);
  CSqliteError(const CSqliteError& other);
  CSqliteError& operator=(const CSqliteError&) = delete;
  virtual ~CSqliteError();

  int Code() const { return m_code; }
  const char* Message() const { return m_message ? m_message : ""; }
  static const char* CodeName(int code);

 private:
  int m_code;
  char* m_message = nullptr;
};

class CSqliteDb {
 public:
  // `busyTimeoutMs`: how long a statement waits for a database that another
  // connection has locked.
  explicit CSqliteDb(int busyTimeoutMs = 60000) : m_busyTimeoutMs(busyTimeoutMs) {}
  virtual ~CSqliteDb();
  CSqliteDb(const CSqliteDb&) = delete;
  CSqliteDb& operator=(const CSqliteDb&) = delete;

  // Opens an existing database file only (read-write, never creates one).
  void OpenDatabase(const std::string& utf8Path);
  // Returns the number of changed rows.
  int ExecuteStatement(const char* statement);
  void CloseDatabase();
  bool IsOpen() const { return m_db != nullptr; }
  int BusyTimeout() const { return m_busyTimeoutMs; }

 private:
  sqlite3* m_db = nullptr;
  int m_busyTimeoutMs;
};

}  // namespace klarex
