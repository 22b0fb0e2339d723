#include "checks/WebServerCheck.h"

#include "checks/DatabaseCheck.h"
#include "ui/unGB2BIG5.h"
#include "ui/unMsgDialog.h"
#include "util/Automation.h"
#include "util/Errors.h"
#include "util/WinHandles.h"
#include "util/unFileAndDir.h"
#include "util/unOther.h"

#include <windows.h>

#include <vector>

ShellExecuteFunction ShellExecuteCall = &::ShellExecuteA;

namespace {

void Tell(const std::string& gbText)
{
    ShowInfo(gbText, false, Gb("提示"));
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

// The ids of an id list: the commas become line breaks, blanks at either end
// of the whole text go, and each line is an id (empty ones inside included).
std::vector<std::string> SplitIds(const std::string& idList)
{
    std::string text;
    for (const char c : idList) text += c == ',' ? std::string("\r\n") : std::string(1, c);
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;

    std::vector<std::string> ids;
    if (first == last) return ids;
    std::string line;
    for (size_t i = first; i < last; ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < last && text[i + 1] == '\n') ++i;
        ids.push_back(line);
        line.clear();
    }
    ids.push_back(line);
    return ids;
}

ComRef<IDispatch> GetWebServer(IDispatch* webService, const DispArg& id)
{
    return ToDispatch(CallMethod(webService, "GetObject", {"IIsWebServer", id}));
}

// Starts site 1, or else the first site that a log folder names.
void StartWebSite()
{
    const ComRef<IDispatch> iisNamespace = CreateOleObject("IISNamespace");
    const ComRef<IDispatch> webService =
        ToDispatch(CallMethod(iisNamespace.get(), "GetObject", {"IIsWebService", "127.0.0.1/w3svc"}));
    ComRef<IDispatch> webServer;
    try {
        webServer = GetWebServer(webService.get(), 1);
    } catch (const OleError&) {
        const std::string id = FindWebServerId(webService.get(), ListLogSiteIds(GetSystemDir() + "Logfiles\\"));
        webServer = GetWebServer(webService.get(), id);
    }
    CallProcedure(webServer.get(), "Start");
}

void OpenIisGuide()
{
    const std::string guide = ExeDir() + "bin\\" + Gb("IIS配置说明.htm");
    ShellExecuteCall(nullptr, nullptr, "IExplore.exe", guide.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace

bool IsLogSiteFolder(DWORD attributes, const char* name)
{
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != attributes) return false;
    if (std::char_traits<char>::length(name) < 5) return false;
    for (int i = 0; i < 5; ++i) {
        const char c = name[i];
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != "W3SVC"[i]) return false;
    }
    return true;
}

std::string ListLogSiteIds(const std::string& logDir)
{
    std::string ids;
    bool any = false;
    WIN32_FIND_DATAA entry;
    const FindHandle find(::FindFirstFileA((logDir + "*").c_str(), &entry));
    if (!find) return ids;
    do {
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        if (!IsLogSiteFolder(entry.dwFileAttributes, entry.cFileName)) continue;
        if (any) ids += ',';
        ids += entry.cFileName + 5;
        any = true;
    } while (::FindNextFileA(find.get(), &entry));
    return ids;
}

std::string FindWebServerId(IDispatch* webService, const std::string& idList)
{
    for (const std::string& id : SplitIds(idList)) {
        try {
            GetWebServer(webService, id);
            return id;
        } catch (const OleError&) {
            // Not a site of this server: try the next id.
        }
    }
    return {};
}

bool CheckIIS(const std::function<void()>& showCross)
{
    RunAndWait(GetSystemDir() + "net.exe", "stop w3svc", SW_HIDE);
    switch (StartServiceIfStopped("w3svc")) {
    case kServiceMissing:
        showCross();
        Tell(Gb("没有检测到IIS（Internet 信息服务），继续安装本系统前，请先安装 IIS ！\r\n确定后，可以阅读安装指南！"));
        OpenIisGuide();
        return false;
    case kServiceNotStopped:
    case kServiceStarted:
        break;
    case kServiceStartFailed:
        showCross();
        Tell(Gb("IIS（Internet 信息服务）未能正常启动，请检查原因！"));
        return false;
    case kServiceManagerRefused:
        Tell(Gb("操作系统不完整！"));
        return false;
    default:
        return false;
    }
    try {
        StartWebSite();
        return true;
    } catch (const std::exception& error) {
        showCross();
        Tell(Gb("IIS（Internet 信息服务）未能正常启动，请检查原因！\r\n") + error.what());
        return false;
    }
}
