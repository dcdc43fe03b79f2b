#include "../res/ids_main.h"
#include "app/about_dlg.h"
#include "framework/app.h"

namespace klarex {

bool RunHelpCommand(UINT id) {
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
  return false;
}

}  // namespace klarex
