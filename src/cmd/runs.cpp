#include "cmd/runs.h"

#include <algorithm>

#include "cmd/row_format.h"
#include "engine/list_rows.h"
#include "engine/mode_scans.h"

namespace klarex::cmd {
namespace {

class CFoundItems final : public IFoundItemSink {
 public:
  std::vector<FoundItem> items;
  void Add(const FoundItem& item) override { items.push_back(item); }
  void EndOfScan() override {}
};

std::vector<Row> ScanRows(CleaningMode mode, RunContext& run, bool withTypes) {
  CFoundItems found;
  CKeepFilterSink kept(run.keep, found);
  ScanMode(mode, run.catalogue, run.machine, kept, run.extended);
  return DescribeRows(found.items, withTypes, run.err);
}

uint64_t TotalBytes(const std::vector<Row>& rows) {
  uint64_t bytes = 0;
  for (const Row& row : rows) bytes += row.bytes;
  return bytes;
}

std::wstring ItemsText(std::size_t count) {
  return std::to_wstring(count) + (count == 1 ? L" item" : L" items");
}

}  // namespace

void CErrorStatus::SetStatusText(const std::wstring& text) {
  if (text.empty()) return;
  m_reported = true;
  m_err.Line(L"KlarexCmd: " + text);
}

std::vector<Row> DescribeRows(const std::vector<FoundItem>& found, bool withTypes, COutput& err) {
  const std::vector<FoundItem> listed = ListOrder(found);
  std::vector<Row> rows;
  rows.reserve(listed.size());
  CProgress progress(err, static_cast<int>(listed.size()));
  for (const FoundItem& item : listed) {
    Row row{item.cFileName, withTypes ? RowTypeName(item) : std::wstring(), RowSize(item),
            item.ftLastWriteTime};
    rows.push_back(std::move(row));
    progress.Step(static_cast<int>(rows.size()));
  }
  return rows;
}

void DeleteRows(const std::vector<Row>& rows, RecordMode mode, bool permanent, RunContext& run,
                RunTally& tally) {
  CProgress progress(run.err, static_cast<int>(rows.size()));
  std::vector<RecordEntry> record;
  std::vector<size_t> owners;
  int done = 0;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    progress.Step(++done);
    const std::vector<size_t> held =
        RunningOwners(run.guard.programs, run.guard.running, {row->path});
    if (!held.empty()) {
      ++tally.skipped;
      owners.insert(owners.end(), held.begin(), held.end());
      run.out.Line(L"skipped\t" + row->path);
      continue;
    }
    const DeleteOutcome outcome = run.deletion.DeletePath(row->path, permanent);
    tally.Add(outcome, row->bytes);
    run.out.Line(std::wstring(OutcomeWord(outcome)) + L'\t' + row->path);
    RecordEntry entry{{},
                      mode,
                      permanent ? RecordAction::Delete : RecordAction::Recycle,
                      ToRecordOutcome(outcome),
                      row->bytes,
                      row->path};
    ::GetSystemTimeAsFileTime(&entry.time);
    record.push_back(std::move(entry));
  }
  run.deletion.Settle();
  AppendRecord(run, record);
  if (owners.empty()) return;
  std::sort(owners.begin(), owners.end());
  owners.erase(std::unique(owners.begin(), owners.end()), owners.end());
  run.err.Line(L"KlarexCmd: skipped what running programs hold: " +
               ProgramNames(run.guard.programs, owners));
}

void AppendRecord(RunContext& run, const std::vector<RecordEntry>& entries) {
  if (entries.empty() || run.record.Path().empty() || run.record.Append(entries)) return;
  run.err.Line(L"KlarexCmd: the deletion record could not be written: " + run.record.Path());
}

bool MayAsk(const Arguments& args, COutput& err) {
  if (args.yes || args.dryRun || IsConsoleInput()) return true;
  err.Line(L"KlarexCmd: nothing deleted: give --yes to delete without a console to ask on");
  return false;
}

bool Consent(const Arguments& args, COutput& err, const std::wstring& question) {
  if (args.yes) return true;
  if (IsConsoleInput() && AskYes(err, question)) return true;
  err.Line(L"KlarexCmd: nothing deleted");
  return false;
}

int ListMode(const Arguments& args, RunContext& run) {
  const std::vector<Row> rows = ScanRows(args.mode, run, true);
  if (args.format == Format::Csv) run.out.Line(CsvHeader());
  for (const Row& row : rows) run.out.Line(FormatRow(row, args.format));
  if (args.format == Format::Text) run.out.Line(TextTotal(rows.size(), TotalBytes(rows)));
  return kExitDone;
}

int CleanMode(const Arguments& args, RunContext& run) {
  if (!MayAsk(args, run.err)) return kExitRefused;
  const std::vector<Row> rows = ScanRows(args.mode, run, false);
  const bool permanent = !args.recycle;
  if (args.dryRun) {
    const wchar_t* word = permanent ? L"would-delete\t" : L"would-recycle\t";
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) run.out.Line(word + row->path);
    run.out.Line(L"Dry run: " + ItemsText(rows.size()) + L", " + std::to_wstring(TotalBytes(rows)) +
                 L" bytes; nothing changed");
    return kExitDone;
  }
  if (rows.empty()) {
    run.out.Line(TallyText({}));
    return kExitDone;
  }
  const std::wstring question = (permanent ? L"Delete " : L"Move to the Recycle Bin ") +
                                ItemsText(rows.size()) + L" (" + std::to_wstring(TotalBytes(rows)) +
                                L" bytes)?";
  if (!Consent(args, run.err, question)) return kExitRefused;
  RunTally tally;
  DeleteRows(rows, ToRecordMode(args.mode), permanent, run, tally);
  run.out.Line(TallyText(tally));
  return tally.Incomplete() ? kExitIncomplete : kExitDone;
}

}  // namespace klarex::cmd
