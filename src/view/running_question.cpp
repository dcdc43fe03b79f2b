#include "view/running_question.h"

#include "../res/ids_main.h"
#include "framework/language.h"
#include "framework/resources.h"

namespace klarex {

std::wstring RunningQuestionText(const std::wstring& names, bool clean) {
  std::wstring text =
      clean ? GetLangString(L"Running", L"2",
                            L"%1 is running and holds its files.\n\nClose it and choose Try "
                            L"Again, or choose Continue to skip its steps and clean the rest.")
            : GetLangString(L"Running", L"1",
                            L"%1 is running and holds its files.\n\nClose it and choose Try "
                            L"Again, or choose Continue to delete the other items and leave its "
                            L"items in the list.");
  if (const size_t at = text.find(L"%1"); at != std::wstring::npos) text.replace(at, 2, names);
  // Language files keep a line break as the two characters \n.
  for (size_t at = text.find(L"\\n"); at != std::wstring::npos; at = text.find(L"\\n", at))
    text.replace(at, 2, L"\n");
  return text;
}

RunningAnswer AskAboutRunningPrograms(HWND owner, const std::vector<WatchedProgram>& programs,
                                      const std::function<std::vector<size_t>()>& look, bool clean,
                                      std::vector<size_t>& leftAlone) {
  leftAlone.clear();
  const std::wstring caption = LoadResString(IDS_APP_TITLE);
  for (;;) {
    const std::vector<size_t> running = look();
    if (running.empty()) return RunningAnswer::NoneRunning;
    const std::wstring text = RunningQuestionText(ProgramNames(programs, running), clean);
    switch (::MessageBoxW(owner, text.c_str(), caption.c_str(),
                          MB_CANCELTRYCONTINUE | MB_ICONWARNING | MB_DEFBUTTON2)) {
      case IDTRYAGAIN:
        continue;
      case IDCONTINUE:
        leftAlone = running;
        return RunningAnswer::Continue;
      default:
        return RunningAnswer::Cancel;
    }
  }
}

}  // namespace klarex
