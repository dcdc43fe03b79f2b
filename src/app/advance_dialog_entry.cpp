#include "app/advance_dialog_entry.h"

#include "privacy/ietdlg.h"
#include "view/klarex_doc.h"

namespace klarex {

void RunAdvanceDialog(HWND parent, CKlarexDoc& doc) {
  CIETDlg dialog(parent, doc);
  dialog.DoModal();
}

}  // namespace klarex
