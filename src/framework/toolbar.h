// A toolbar control filled from a toolbar resource (type 241: version, button
// width, height, item count, then one command id per item, 0 = separator) and
// the bitmap of the same id, whose top-left pixel gives the mask colour.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/gdi.h"
#include "framework/wnd.h"

namespace klarex {

inline constexpr WORD kToolbarResourceType = 241;

struct ToolbarTemplate {
  int width = 0;
  int height = 0;
  std::vector<UINT> ids;  // 0 = separator
};

// Parses a type-241 resource; false when it is truncated or of another version.
bool ParseToolbarTemplate(const void* data, size_t size, ToolbarTemplate& out);
// Finds and parses toolbar resource `id` of `module`; false when it is missing
// or does not parse. The toolbar and the menus' item icons both read it here.
bool LoadToolbarTemplate(HMODULE module, UINT id, ToolbarTemplate& out);

class CToolBar : public CWnd {
 public:
  bool Create(HWND parent, DWORD style, UINT id);
  // Loads the template and the bitmap `id`; false if either is missing.
  bool LoadToolBar(UINT id);
  const std::vector<UINT>& ButtonIds() const { return m_template.ids; }
  // Applies a state to the button of `id`, changing it only when it differs.
  void SetButtonState(UINT id, bool enabled, bool checked);
  int Height() const;

 private:
  ToolbarTemplate m_template;
  ImageListHandle m_images;
};

}  // namespace klarex
