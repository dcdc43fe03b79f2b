#include "app/advance_dialog_entry.h"

#include "engine/klarex_doc.h"
#include "privacy/ietdlg.h"

namespace klarex {

void RunAdvanceDialog(HWND parent, CKlarexDoc& doc) {
  CIETDlg dialog(parent);
  dialog.m_pDoc = &doc;
  dialog.DoModal();
}

}  // namespace klarex
