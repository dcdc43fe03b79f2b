#include "view/mode_controller.h"

#include "../res/ids_main.h"

namespace klarex {

CModeController::CModeController(CKlarexDoc& doc, IModeList& list, IAdvanceDialog& advance,
                                 std::function<void()> showCommandStates)
    : m_doc(doc),
      m_list(list),
      m_advance(advance),
      m_showCommandStates(std::move(showCommandStates)) {}

bool CModeController::OnCommand(UINT id) {
  switch (id) {
    case ID_MODE_STANDARD:
      Apply(ModeEvent::StandardCommand);
      return true;
    case ID_MODE_COOKIES:
      Apply(ModeEvent::CookiesCommand);
      return true;
    case ID_MODE_OFFLINE:
      Apply(ModeEvent::OfflineCommand);
      return true;
  }
  return false;
}

void CModeController::Apply(ModeEvent event) {
  const ModeStep step = NextModeStep(m_state, event);
  m_state = step.next;
  m_list.ClearRows();
  m_doc.Scan(step.scan);
  if (step.moveOnIfEmpty && m_list.RowCount() == 0) Apply(ModeEvent::CookiesFoundNothing);
  if (step.runAdvance) {
    if (m_showCommandStates) m_showCommandStates();
    m_advance.Run(m_list.DialogOwner(), m_doc);
    m_list.DrainFoundItems();
  }
  m_list.RefreshAfterFill();
}

}  // namespace klarex
