// The console program's verbs on the engine: a mode's list, a mode's clean and
// a privacy run. Each returns the program's exit code.
#pragma once
#include <string>
#include <vector>

#include "cmd/arguments.h"
#include "cmd/console.h"
#include "engine/catalogue.h"
#include "engine/definitions.h"
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

// What every verb works with, built once by the program.
struct RunContext {
  IMachine& machine;
  const Catalogue& catalogue;
  // The definition files' places each mode scans after its recipe (none
  // while the window's Extended Catalogue option is off).
  const std::vector<Place>& extended;
  IDeleteOperations& deletion;
  CErrorStatus& status;
  COutput& out;
  COutput& err;
};

int ListMode(const Arguments& args, RunContext& run);
int CleanMode(const Arguments& args, RunContext& run);
int RunPrivacy(const Arguments& args, RunContext& run);

// Before anything is deleted: consent by --yes, or by a "y" on the console.
// False (after saying why) when there is none.
bool Consent(const Arguments& args, COutput& err, const std::wstring& question);
// Without --yes and without a console to ask on, a run is refused before it starts.
bool MayAsk(const Arguments& args, COutput& err);

}  // namespace klarex::cmd
