#include "checks/DatabaseCheck.h"

#include "ui/unGB2BIG5.h"
#include "ui/unMsgDialog.h"
#include "util/WinHandles.h"
#include "util/unFileAndDir.h"
#include "util/unOther.h"

#include <windows.h>

namespace {

void Tell(const char* utf8Text)
{
    ShowInfo(Gb(utf8Text), false, Gb("提示"));
}

bool Confirmed(const char* utf8Question)
{
    return AskYesNo(Gb(utf8Question), false) == IDYES;
}

// No database service on this machine: offer the MSDE setup beside the
// launcher, or let the user name a database elsewhere on the network.
bool OfferDatabase(const std::function<void()>& showCross)
{
    showCross();
    const std::string setupPath = ExeDir() + "bin\\MSDERelA\\Setup.exe";
    if (!FileExists(setupPath)) {
        Tell("没有在本机检测出MS系列数据库！\r\n继续安装本系统前，请先安装MS系列数据库！\r\n"
             "本版安装程序不含数据库 MSDE2000，请单独安装MS系列数据库，或者重新下载含有MSDE2000的安装程序！");
        return false;
    }
    if (Confirmed("没有在本机检测出MS系列数据库，是否现在安装免费数据库 MSDE2000 ?")) {
        Tell("数据库用户 SA 的密码是\"zq\"，安装本系统的时候需要用到这个密码，请记在笔记本上！");
        RunAndWait(setupPath, "", SW_SHOWNORMAL);
        return CheckDatabase(true, showCross);
    }
    if (Confirmed("本系统必需MS系列数据库的支持，但数据库不一定在本机，也可以在网络上的其它机器上！\r\n"
                  "你确定网络上有可使用的MS系列数据库吗？"))
        return true;
    Tell("继续安装本系统前，请先安装MS系列数据库！");
    return false;
}

}  // namespace

int StartServiceIfStopped(const std::string& serviceName)
{
    const ServiceHandle scm(OpenScManagerCall(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!scm) return kServiceManagerRefused;
    const ServiceHandle service(::OpenServiceA(scm.get(), serviceName.c_str(), SERVICE_ALL_ACCESS));
    if (!service) return kServiceMissing;
    SERVICE_STATUS status = {};
    // A status that cannot be read is taken as stopped: the start request decides.
    if (::QueryServiceStatus(service.get(), &status) && status.dwCurrentState != SERVICE_STOPPED)
        return kServiceNotStopped;
    return ::StartServiceA(service.get(), 0, nullptr) ? kServiceStarted : kServiceStartFailed;
}

bool CheckDatabase(bool afterInstall, const std::function<void()>& showCross)
{
    switch (StartServiceIfStopped(FindSqlServerService())) {
    case kServiceNotStopped:
    case kServiceStarted:
        return true;
    case kServiceStartFailed:
        showCross();
        Tell("数据库软件（MSSQL/MSDE）未能正常启动，请检查原因！");
        return false;
    case kServiceManagerRefused:
        Tell("操作系统不完整！");
        return false;
    default:
        break;
    }
    if (afterInstall) return false;
    return OfferDatabase(showCross);
}
