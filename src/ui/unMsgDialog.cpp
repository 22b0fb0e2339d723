#include "ui/unMsgDialog.h"

#include "ui/Application.h"
#include "ui/unGB2BIG5.h"

#include <windows.h>

namespace {

// Translates caption and text for this system and shows them through the
// application's message box, in the script the language code says they are in.
int ShowBox(std::string_view text, bool textAsIs, std::string_view caption, UINT flags)
{
    const std::string shownCaption = LangStr(caption);
    const std::string shownText = textAsIs ? std::string(text) : LangStr(text);
    const std::string langCode = GetLangCode();
    return TApplication::Instance().MessageBox(ScreenText(shownText, langCode),
                                               ScreenText(shownCaption, langCode), flags);
}

}  // namespace

std::string LangStr(std::string_view text)
{
    return GetLangCode() == "B" ? GBToBig5(text) : std::string(text);
}

void ShowInfo(std::string_view text, bool textAsIs, std::string_view caption)
{
    ShowBox(text, textAsIs, caption, MB_OK | MB_ICONINFORMATION);
}

int AskYesNo(std::string_view text, bool textAsIs)
{
    return ShowBox(text, textAsIs, Gb("确认"), MB_YESNO | MB_ICONQUESTION);
}
