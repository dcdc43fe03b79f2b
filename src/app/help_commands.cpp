#include "app/advance_dialog_entry.h"
#include "framework/app.h"
#include "../res/ids_main.h"

#if __has_include("app/about_dlg.h")
#include "app/about_dlg.h"
#define KLAREX_HAS_ABOUT_BOX 1
#endif

namespace klarex {

bool RunHelpCommand(UINT id) {
#ifdef KLAREX_HAS_ABOUT_BOX
  switch (id) {
    case ID_APP_ABOUT:
      ShowAboutBox(AfxMainWindow());
      return true;
    case ID_HELP_ONLINE:
      OnlineHelp();
      return true;
    case ID_HELP_UPDATE:
      CheckUpdate();
      return true;
  }
#else
  (void)id;
#endif
  return false;
}

}  // namespace klarex
