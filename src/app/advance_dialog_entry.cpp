#include "app/advance_dialog_entry.h"

#include "engine/klarex_doc.h"

namespace klarex {

void RunAdvanceDialog(HWND /*parent*/, CKlarexDoc& /*doc*/) {
  // Filled in together with CIETDlg: construct it with `parent`, set its
  // m_pDoc to `doc`, DoModal().
}

}  // namespace klarex
