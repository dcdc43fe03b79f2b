// The console program's verbs on the engine: a mode's list, a mode's clean and
// a privacy run. Each returns the program's exit code.
#pragma once
#include <string>
#include <vector>

#include "cmd/arguments.h"
#include "cmd/console.h"
#include "cmd/row_format.h"
#include "engine/catalogue.h"
#include "engine/definitions.h"
#include "engine/deletion_record.h"
#include "engine/keep_list.h"
#include "engine/running_browsers.h"
#include "sys/machine.h"
#include "sys/operations.h"
#include "sys/status_sink.h"

namespace klarex::cmd {

inline constexpr int kExitDone = 0;
inline constexpr int kExitIncomplete = 1;  // something skipped, failed or left for the restart
inline constexpr int kExitRefused = 2;     // a usage error, or no consent to delete

// The engine's status texts (a Firefox database that cannot be cleaned) go
// to standard error and make the run incomplete; what a deletion deletes
// entry by entry is not shown.
class CErrorStatus final : public IStatusSink {
 public:
  explicit CErrorStatus(COutput& err) : m_err(err) {}
  void SetStatusText(const std::wstring& text) override;
  void ShowDeletingStatus(const std::wstring&) override {}
  bool Reported() const { return m_reported; }

 private:
  COutput& m_err;
  bool m_reported = false;
};

// The programs whose files a run must not pull from under them, and the
// processes running when the run started.
struct Guard {
  std::vector<WatchedProgram> programs;
  std::vector<std::wstring> running;
};

// What every verb works with, built once by the program.
struct RunContext {
  IMachine& machine;
  const Catalogue& catalogue;
  // The definition files' places each mode scans after its recipe (none
  // while the window's Extended Catalogue option is off).
  const std::vector<Place>& extended;
  const CKeepList& keep;    // found items it hides are never listed
  const Guard& guard;       // a running owner's items are skipped
  CDeletionRecord& record;  // every deletion's outcome is appended
  IDeleteOperations& deletion;
  CErrorStatus& status;
  COutput& out;
  COutput& err;
};

// The rows of found items, in the list's order, with their columns (the type
// name only when asked for).
std::vector<Row> DescribeRows(const std::vector<FoundItem>& found, bool withTypes, COutput& err);

// Deletes the rows as the window's list does, the last row first, one line per
// item with its outcome, each recorded; what a running program holds is
// skipped and the programs named on standard error.
void DeleteRows(const std::vector<Row>& rows, RecordMode mode, bool permanent, RunContext& run,
                RunTally& tally);

// Appends the entries to the deletion record; a record that cannot be
// written is said on standard error and changes nothing else.
void AppendRecord(RunContext& run, const std::vector<RecordEntry>& entries);

int ListMode(const Arguments& args, RunContext& run);
int CleanMode(const Arguments& args, RunContext& run);
int RunPrivacy(const Arguments& args, RunContext& run);

// Before anything is deleted: consent by --yes, or by a "y" on the console.
// False (after saying why) when there is none.
bool Consent(const Arguments& args, COutput& err, const std::wstring& question);
// Without --yes and without a console to ask on, a run is refused before it starts.
bool MayAsk(const Arguments& args, COutput& err);

}  // namespace klarex::cmd
