#include "../res/ids_main.h"
#include "app/about_dlg.h"
#include "framework/app.h"

namespace klarex {

bool RunHelpCommand(UINT id, const ShellOpener& open) {
  switch (id) {
    case ID_APP_ABOUT:
      ShowAboutBox(AfxMainWindow(), open);
      return true;
    case ID_HELP_ONLINE:
      OnlineHelp(open);
      return true;
    case ID_HELP_UPDATE:
      CheckUpdate(open);
      return true;
  }
  return false;
}

}  // namespace klarex
