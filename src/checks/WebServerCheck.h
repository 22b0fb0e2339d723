#pragma once
// The web server row of the check dialog: the IIS web service is restarted
// and a web site started through the IIS administration objects.

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>

// True when a web site was started. showCross puts the row's cross on screen
// before a message about a missing or failing web server.
bool CheckIIS(const std::function<void()>& showCross);

// How the check opens the IIS guide page in the browser. Tests point this
// elsewhere: under Wine the shell always finds its own browser first.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                                LPCSTR directory, INT showCmd);
extern ShellExecuteFunction ShellExecuteCall;

// Whether a log folder entry names a site: a folder without any other
// attribute whose name begins with "W3SVC" in any letter case.
bool IsLogSiteFolder(DWORD attributes, const char* name);

// The site ids named by the log folders in logDir (a path with its trailing
// backslash): the rest of each plain folder name that begins with "W3SVC" in
// any letter case, in listing order, joined by ",".
std::string ListLogSiteIds(const std::string& logDir);

// The first id of idList (ids separated by ",") that webService knows as an
// "IIsWebServer", or "" when it knows none.
std::string FindWebServerId(IDispatch* webService, const std::string& idList);
