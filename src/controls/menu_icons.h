// The toolbar's images for menu items. Image n of the toolbar is stored three
// times: 3n itself (selected item), 3n+1 a darker copy (item at rest), 3n+2 a
// pale disabled copy.
#pragma once
// commctrl.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <vector>

#include "framework/gdi.h"

namespace klarex {

class CMenuIconSet {
 public:
  // The set of toolbar resource `resourceId` of `module` (else of the program).
  CMenuIconSet(HMODULE module, int resourceId);

  // Loads the toolbar resource (type 241) and its bitmap of the same id.
  bool Load();
  // Loads again (system colours changed), at most once every 2 seconds.
  void Reload();
  // Fills the set from a strip of button images, one per command id.
  bool LoadFromBitmap(HBITMAP strip, int width, int height, const std::vector<WORD>& ids);

  int ImageIndex(WORD cmd) const;  // 3n, or -1
  HIMAGELIST Images() const { return m_images.get(); }
  SIZE ImageSize() const { return m_size; }
  int ResourceId() const { return m_resourceId; }

 private:
  HMODULE m_module;
  int m_resourceId;
  SIZE m_size{16, 15};
  ImageListHandle m_images;
  std::vector<WORD> m_ids;
  bool m_reloaded = false;
  DWORD m_reloadedAt = 0;  // tick count of the last Reload that loaded
};

}  // namespace klarex
