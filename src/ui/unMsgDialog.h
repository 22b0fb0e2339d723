#pragma once
// The launcher's two message boxes. Callers pass GB2312 texts; on a
// code-page-950 system they are shown converted to Traditional Chinese.

#include <string>
#include <string_view>

// GBToBig5(text) when GetLangCode() is "B", otherwise text unchanged.
std::string LangStr(std::string_view text);

// Information box (MB_OK | MB_ICONINFORMATION). The caption is always passed
// through LangStr; the text too unless textAsIs.
void ShowInfo(std::string_view text, bool textAsIs, std::string_view caption);

// Question box (MB_YESNO | MB_ICONQUESTION) with the caption "确认".
// Returns IDYES (6), IDNO (7), or 0 when the box could not be shown.
int AskYesNo(std::string_view text, bool textAsIs);
