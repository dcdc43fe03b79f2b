// Carries out the cleaning modes' steps (view/cleaning_modes.h) on the result
// list and the document: clears the list, runs the mode's scan, opens the
// Advance dialog after the Offline scan, and refills the list.
#pragma once
#include <windows.h>

#include <functional>

#include "view/cleaning_modes.h"
#include "view/klarex_doc.h"

namespace klarex {

// The list as the modes see it (the result list view).
class IModeList {
 public:
  virtual ~IModeList() = default;
  virtual void ClearRows() = 0;
  // Turns what the document queued into rows.
  virtual void DrainFoundItems() = 0;
  virtual int RowCount() const = 0;
  // After a fill: the sort again, the column widths, the status line.
  virtual void RefreshAfterFill() = 0;
  // The window that owns the Advance dialog.
  virtual HWND DialogOwner() const = 0;
};

// The Advance dialog, run modally over the document; the privacy layer
// provides it at start-up.
class IAdvanceDialog {
 public:
  virtual ~IAdvanceDialog() = default;
  virtual void Run(HWND owner, CKlarexDoc& doc) = 0;
};

class CModeController {
 public:
  // `showCommandStates` pushes the command states to the toolbar, so that it
  // shows the new mode while the Advance dialog is up.
  CModeController(CKlarexDoc& doc, IModeList& list, IAdvanceDialog& advance,
                  std::function<void()> showCommandStates);

  const ModeState& State() const { return m_state; }
  // The first fill: the Standard list.
  void Start() { Apply(ModeEvent::StandardCommand); }
  // Standard, Cookies and Offline Temp & Advance; false for any other id.
  bool OnCommand(UINT id);
  // A deletion emptied the list: the next mode in turn.
  void OnListEmptied() { Apply(ModeEvent::ListEmptied); }

 private:
  void Apply(ModeEvent event);

  CKlarexDoc& m_doc;
  IModeList& m_list;
  IAdvanceDialog& m_advance;
  std::function<void()> m_showCommandStates;
  ModeState m_state;
};

}  // namespace klarex
