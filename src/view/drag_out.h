// Dragging rows of the result list out to the shell as files (CF_HDROP).
#pragma once
#include <windows.h>
// needs windows.h first
#include <ole2.h>

#include <string>
#include <vector>

#include "sys/com_ptr.h"

namespace klarex {

// The drop-files block: a DROPFILES header (wide characters), then every path
// with its NUL, then one more NUL.
std::vector<BYTE> BuildDropFilesBlock(const std::vector<std::wstring>& paths);

// The block in movable, shareable global memory; nullptr when out of memory.
HGLOBAL DropFilesToGlobal(const std::vector<BYTE>& block);

// A data object offering `paths` as CF_HDROP.
ComPtr<IDataObject> CreateDropFilesDataObject(const std::vector<std::wstring>& paths);

// A drop source: Esc cancels, releasing the mouse buttons drops.
ComPtr<IDropSource> CreateDropSource();

// Runs a modal drag of `paths` allowing copy or move; the effect of the drop,
// DROPEFFECT_NONE when cancelled or nothing to drag.
DWORD DragOutFiles(const std::vector<std::wstring>& paths);

// The File Name texts of the selected rows, in list order.
std::vector<std::wstring> SelectedRowPaths(HWND list);

}  // namespace klarex
