#include "app/about_dlg.h"

#include <cwchar>

#include "../res/ids_dialogs.h"
#include "../res/ids_main.h"
#include "framework/gdi.h"
#include "framework/language.h"
#include "framework/resources.h"

namespace klarex {
namespace {

constexpr wchar_t kNoticeLine[] = L"Free software";

// An underlined copy of the control's font, shrunk until `text` fits its width,
// so that the whole address stays readable in the fixed layout.
HFONT FittingLinkFont(HWND control, const std::wstring& text) {
  auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  if (!font || !::GetObjectW(font, sizeof(lf), &lf)) return nullptr;
  lf.lfUnderline = TRUE;
  RECT rc{};
  ::GetClientRect(control, &rc);
  WindowDc dc(control);
  for (;;) {
    HFONT candidate = ::CreateFontIndirectW(&lf);
    if (!candidate) return nullptr;
    SIZE extent{};
    {
      SelectGuard sel(dc, candidate);
      ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    LONG height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (extent.cx <= rc.right || height <= 8) return candidate;
    ::DeleteObject(candidate);
    lf.lfHeight += lf.lfHeight < 0 ? 1 : -1;
  }
}

}  // namespace

CAboutDlg::CAboutDlg(HWND parent, const ShellOpener& open)
    : CDialog(IDD_ABOUTBOX, parent), m_homePage(open), m_mail(open) {}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_homePage.SetLink(GetLangString(L"status", L"12", LoadResString(IDS_HOME_PAGE)));
  m_mail.SetLink(kSupportMail);
  m_homePage.SubclassDlgItem(IDC_ABOUT_LOGO, m_hwnd);
  if (m_mail.SubclassDlgItem(IDC_ABOUT_EMAIL, m_hwnd)) {
    if (HFONT font = FittingLinkFont(m_mail.Handle(), m_mail.Text())) {
      m_mail.SetFont(font);
      m_mail.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
  }
  if (IsLanguageActive()) {
    SetText(GetLangString(L"Title", L"5", L"About") + L" " + LoadResString(IDS_APP_TITLE));
  }
  Item(IDC_ABOUT_NOTICE).SetText(kNoticeLine);
  Item(IDC_ABOUT_VERSION).SetText(L"Version " KLAREX_VERSION_WTEXT);
  return TRUE;
}

bool CAboutDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  if (msg == WM_CTLCOLORSTATIC) {
    auto control = reinterpret_cast<HWND>(lp);
    for (CLinkLabel* link : {&m_homePage, &m_mail}) {
      if (control == link->Handle()) {
        HBRUSH brush = link->OnCtlColor(reinterpret_cast<HDC>(wp));
        if (!brush) return false;
        result = reinterpret_cast<INT_PTR>(brush);
        return true;
      }
    }
    return false;
  }
  return CDialog::OnMessage(msg, wp, lp, result);
}

std::wstring HelpAddress() {
  return GetLangString(L"status", L"12", LoadResString(IDS_HOME_PAGE_QUERY));
}

std::wstring UpdateAddress() {
  wchar_t buf[1024] = {};
  std::swprintf(buf, std::size(buf), L"%ls%f", HelpAddress().c_str(), kProgramVersion);
  return buf;
}

void ShowAboutBox(HWND parent, const ShellOpener& open) {
  CAboutDlg dialog(parent, open);
  dialog.DoModal();
}

void OnlineHelp(const ShellOpener& open) { open(HelpAddress()); }

void CheckUpdate(const ShellOpener& open) { open(UpdateAddress()); }

}  // namespace klarex
