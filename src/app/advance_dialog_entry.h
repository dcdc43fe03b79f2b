// The Offline Temp & Advance command's dialog, as the view runs it.
#pragma once
#include <windows.h>

namespace klarex {

class CKlarexDoc;

// Constructs the Advance dialog (CIETDlg) owned by `parent`, hands it the
// document and runs it modally.
void RunAdvanceDialog(HWND parent, CKlarexDoc& doc);

// The Help menu's commands (About, Online Help, Update); false for other ids.
bool RunHelpCommand(UINT id);

}  // namespace klarex
