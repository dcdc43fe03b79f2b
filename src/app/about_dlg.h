// The Help commands: the About box (logo, version and two links), Online
// Help and Update, which open the product's home page in the browser.
#pragma once
#include <windows.h>

#include <string>

#include "app/link_label.h"
#include "framework/dialog.h"
#include "klarex_version.h"

namespace klarex {

inline constexpr wchar_t kSupportMail[] = L"mailto:support@example.org";
inline constexpr double kProgramVersion = KLAREX_VERSION_NUMBER;

class CAboutDlg : public CDialog {
 public:
  // The links open their addresses with `open`.
  explicit CAboutDlg(HWND parent = nullptr, const ShellOpener& open = ShellOpen);

  CLinkLabel& HomePageLink() { return m_homePage; }
  CLinkLabel& MailLink() { return m_mail; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  CLinkLabel m_homePage;
  CLinkLabel m_mail;
};

// The address Online Help opens: the language file's status/12, else string 125.
std::wstring HelpAddress();
// The address Update opens: the help address followed by the version, "%s%f".
std::wstring UpdateAddress();

// Command 57664: runs the About box modally.
void ShowAboutBox(HWND parent, const ShellOpener& open);
// Command 191 (F1).
void OnlineHelp(const ShellOpener& open);
// Command 192.
void CheckUpdate(const ShellOpener& open);

// The Help menu's commands (About, Online Help, Update), opening addresses
// with `open`; false for other ids.
bool RunHelpCommand(UINT id, const ShellOpener& open);

}  // namespace klarex
