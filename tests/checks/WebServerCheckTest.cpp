// The web server check against the fake "w3svc" service, the fake IIS
// administration objects and log folders in the system directory. Under Wine
// the shell always finds its own browser, so the guide page request is recorded.
#include "checks/WebServerCheck.h"

#include "checks/DatabaseCheck.h"

#include "Fixtures.h"
#include "support/HandleCount.h"
#include "support/MessageBoxAnswerer.h"
#include "ui/unGB2BIG5.h"
#include "ui/unMsgDialog.h"
#include "util/Automation.h"
#include "util/Errors.h"
#include "util/unFileAndDir.h"
#include "util/unOther.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::wstring kNotInstalled =
    L"没有检测到IIS（Internet 信息服务），继续安装本系统前，请先安装 IIS ！\r\n确定后，可以阅读安装指南！";
const std::wstring kStartFailed = L"IIS（Internet 信息服务）未能正常启动，请检查原因！";
const std::wstring kSiteMissingText = L"OLE error 80040210";  // the fake's code for an unknown site

std::string TempPath(const std::string& name)
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    return dir + name;
}

// Folders made in a log directory for one test, removed again afterwards.
class LogFolders {
public:
    explicit LogFolders(std::string dir) : dir_(std::move(dir))
    {
        createdDir_ = ::CreateDirectoryA(dir_.c_str(), nullptr) != FALSE;
        RemoveSiteFolders();
    }
    ~LogFolders()
    {
        RemoveSiteFolders();
        for (const std::string& name : made_) Remove(name);
        if (createdDir_) ::RemoveDirectoryA(dir_.c_str());
    }
    const std::string& Dir() const { return dir_; }
    void Folder(const std::string& name, DWORD extraAttributes = 0)
    {
        const std::string path = dir_ + name;
        ::CreateDirectoryA(path.c_str(), nullptr);
        if (extraAttributes) ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY | extraAttributes);
        made_.push_back(name);
    }
    void File(const std::string& name)
    {
        ::CloseHandle(::CreateFileA((dir_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        made_.push_back(name);
    }
    DWORD Attributes(const std::string& name) const { return ::GetFileAttributesA((dir_ + name).c_str()); }

private:
    void Remove(const std::string& name)
    {
        const std::string path = dir_ + name;
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::RemoveDirectoryA(path.c_str())) ::DeleteFileA(path.c_str());
    }
    // Leftovers of an aborted run would be taken for sites.
    void RemoveSiteFolders()
    {
        WIN32_FIND_DATAA entry;
        const HANDLE find = ::FindFirstFileA((dir_ + "*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return;
        std::vector<std::string> names;
        do {
            if (_strnicmp(entry.cFileName, "W3SVC", 5) == 0) names.push_back(entry.cFileName);
        } while (::FindNextFileA(find, &entry));
        ::FindClose(find);
        for (const std::string& name : names) Remove(name);
    }

    std::string dir_;
    bool createdDir_ = false;
    std::vector<std::string> made_;
};

std::vector<std::string> SortedIds(const std::string& idList)
{
    std::vector<std::string> ids;
    size_t start = 0;
    for (;;) {
        const size_t comma = idList.find(',', start);
        ids.push_back(idList.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

DWORD ServiceProcessId(const std::string& name)
{
    const SC_HANDLE scm = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    const SC_HANDLE service = ::OpenServiceA(scm, name.c_str(), SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed = 0;
    ::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                           &needed);
    ::CloseServiceHandle(service);
    ::CloseServiceHandle(scm);
    return status.dwProcessId;
}

// What the check asked the shell to open.
std::vector<std::string> shellRequests;

HINSTANCE WINAPI RecordShellRequest(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                    INT showCmd)
{
    shellRequests.push_back(std::string(owner ? "owner" : "-") + "|" + (verb ? verb : "-") + "|" + file + "|" +
                            parameters + "|" + (directory ? directory : "-") + "|" + std::to_string(showCmd));
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

SC_HANDLE WINAPI RefuseFullAccess(LPCSTR machine, LPCSTR database, DWORD access)
{
    if (access != SC_MANAGER_ALL_ACCESS) return ::OpenSCManagerA(machine, database, access);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

struct Outcome {
    bool result = false;
    std::vector<std::wstring> texts;
    int crosses = 0;
    size_t boxesBeforeCross = 0;
};

class WebServerCheckTest : public ::testing::Test {
protected:
    ComApartment apartment;
    FakeComServer iis{"fake_iis.dll"};
    ScopedEnvironment sites{"FAKE_IIS_SITES", "1"};
    ScopedEnvironment missingSite{"FAKE_IIS_MISSING_SITE_CODE", "80040210"};
    ScopedEnvironment startError{"FAKE_IIS_START_ERROR", nullptr};
    ScopedEnvironment startErrorCode{"FAKE_IIS_START_ERROR_CODE", nullptr};
    LogFolders logs{GetSystemDir() + "Logfiles\\"};

    void SetUp() override
    {
        shellRequests.clear();
        ShellExecuteCall = RecordShellRequest;
        RemoveService("w3svc");
        // The first use of the shell, the manager, COM and the message boxes opens what they keep.
        RunAndWait(GetSystemDir() + "net.exe", "stop w3svc", SW_HIDE);
        StartServiceIfStopped("w3svc");
        {
            const ComRef<IDispatch> root = CreateOleObject("IISNamespace");
            const ComRef<IDispatch> service =
                ToDispatch(CallMethod(root.get(), "GetObject", {"IIsWebService", "127.0.0.1/w3svc"}));
            try {
                CallMethod(service.get(), "GetObject", {"IIsWebServer", "no such site"});
            } catch (const OleError&) {
            }
        }
        iis.ClearCallLog();
        MessageBoxAnswerer answerer;
        ShowInfo("first", true, "box");
    }
    void TearDown() override
    {
        ShellExecuteCall = &::ShellExecuteA;
        RemoveService("w3svc");
        EXPECT_EQ(iis.LiveReferences(), 0);
    }

    Outcome Check()
    {
        const DWORD handlesBefore = OpenHandleCount();
        Outcome outcome;
        {
            MessageBoxAnswerer answerer;
            outcome.result = CheckIIS([&] {
                if (outcome.crosses++ == 0) outcome.boxesBeforeCross = answerer.Seen().size();
            });
            for (const SeenMessageBox& box : answerer.Seen()) outcome.texts.push_back(box.text);
        }
        EXPECT_EQ(iis.LiveReferences(), 0);
        EXPECT_EQ(OpenHandleCount(), handlesBefore);
        return outcome;
    }
};

TEST_F(WebServerCheckTest, RestartsTheServiceAndStartsSiteOne)
{
    FakeService w3svc("w3svc");
    w3svc.Start();
    const DWORD processBefore = ServiceProcessId("w3svc");
    logs.Folder("W3SVC3");

    const Outcome outcome = Check();

    EXPECT_TRUE(outcome.result);
    EXPECT_TRUE(outcome.texts.empty());
    EXPECT_EQ(outcome.crosses, 0);
    EXPECT_EQ(iis.CallLog(), L"Create;IIsWebService(127.0.0.1/w3svc);IIsWebServer(#1);Start(1);");
    EXPECT_TRUE(WaitForServiceState("w3svc", SERVICE_RUNNING));
    EXPECT_NE(ServiceProcessId("w3svc"), processBefore) << "stopped by net, started again by the check";
}

TEST_F(WebServerCheckTest, WithoutSiteOneStartsTheFirstKnownSiteOfTheLogFolders)
{
    FakeService w3svc("w3svc");
    ScopedEnvironment onlyFive("FAKE_IIS_SITES", "5");
    logs.Folder("W3SVC3");
    logs.Folder("w3svc5");

    const Outcome outcome = Check();

    EXPECT_TRUE(outcome.result);
    EXPECT_TRUE(outcome.texts.empty());
    const std::wstring log = iis.CallLog();
    EXPECT_EQ(log.rfind(L"Create;IIsWebService(127.0.0.1/w3svc);IIsWebServer(#1);", 0), 0u) << log;
    EXPECT_NE(log.find(L"IIsWebServer(3);"), std::wstring::npos) << log;
    const std::wstring end = L"IIsWebServer(5);IIsWebServer(5);Start(5);";
    EXPECT_EQ(log.substr(log.size() - std::min(log.size(), end.size())), end);
}

TEST_F(WebServerCheckTest, NoMatchingLogFolderAsksForTheEmptyIdAndReportsItsError)
{
    FakeService w3svc("w3svc");
    ScopedEnvironment none("FAKE_IIS_SITES", "none");
    logs.Folder("Other");

    const Outcome outcome = Check();

    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kStartFailed + L"\r\n" + kSiteMissingText});
    EXPECT_EQ(outcome.crosses, 1);
    EXPECT_EQ(outcome.boxesBeforeCross, 0u);
    EXPECT_EQ(iis.CallLog(), L"Create;IIsWebService(127.0.0.1/w3svc);IIsWebServer(#1);IIsWebServer();");
}

// Wine keeps no attributes but hidden on folders, so the rule is tested apart.
TEST(LogSiteFolder, OnlyFoldersWithoutFurtherAttributesWhoseNameBeginsWithW3svc)
{
    EXPECT_TRUE(IsLogSiteFolder(FILE_ATTRIBUTE_DIRECTORY, "W3SVC1"));
    EXPECT_TRUE(IsLogSiteFolder(FILE_ATTRIBUTE_DIRECTORY, "w3Svc"));
    for (const DWORD extra : {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_COMPRESSED,
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED})
        EXPECT_FALSE(IsLogSiteFolder(FILE_ATTRIBUTE_DIRECTORY | extra, "W3SVC1")) << extra;
    EXPECT_FALSE(IsLogSiteFolder(FILE_ATTRIBUTE_ARCHIVE, "W3SVC1"));
    EXPECT_FALSE(IsLogSiteFolder(FILE_ATTRIBUTE_DIRECTORY, "W3SV"));
    EXPECT_FALSE(IsLogSiteFolder(FILE_ATTRIBUTE_DIRECTORY, "XW3SVC1"));
}

TEST_F(WebServerCheckTest, FailuresOfTheAdministrationObjects)
{
    FakeService w3svc("w3svc");
    {
        ScopedEnvironment description("FAKE_IIS_START_ERROR", "The site's port is in use. \r\n");
        const Outcome outcome = Check();
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kStartFailed + L"\r\nThe site's port is in use"});
        EXPECT_EQ(outcome.crosses, 1);
    }
    iis.Unregister();
    const Outcome outcome = Check();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kStartFailed + L"\r\nOLE error 800401f3"});
    EXPECT_EQ(outcome.crosses, 1);
    EXPECT_EQ(outcome.boxesBeforeCross, 0u);
}

TEST_F(WebServerCheckTest, MissingServiceOpensTheGuideAndCreatesNoObject)
{
    const Outcome outcome = Check();

    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kNotInstalled});
    EXPECT_EQ(outcome.crosses, 1);
    EXPECT_EQ(outcome.boxesBeforeCross, 0u);
    EXPECT_EQ(iis.CallLog(), L"");
    EXPECT_EQ(shellRequests,
              std::vector<std::string>{"-|-|IExplore.exe|" + ExeDir() + "bin\\" + Gb("IIS配置说明.htm") + "|-|1"});
}

TEST_F(WebServerCheckTest, ServiceThatCannotStartOrManagerThatRefuses)
{
    FakeService w3svc("w3svc", SERVICE_DISABLED);
    Outcome outcome = Check();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kStartFailed});
    EXPECT_EQ(outcome.crosses, 1);
    EXPECT_EQ(outcome.boxesBeforeCross, 0u);

    const OpenScManagerFunction old = OpenScManagerCall;
    OpenScManagerCall = RefuseFullAccess;
    outcome = Check();
    OpenScManagerCall = old;
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{L"操作系统不完整！"});
    EXPECT_EQ(outcome.crosses, 0);
    EXPECT_EQ(iis.CallLog(), L"");
}

TEST_F(WebServerCheckTest, LogSiteIds)
{
    LogFolders dir(TempPath("launcher_logfiles\\"));
    for (const char* name : {"W3SVC1", "w3svc12", "W3SVC", "W3SVCX", "XW3SVC2", "W3SV"}) dir.Folder(name);
    dir.Folder("W3SVC8", FILE_ATTRIBUTE_HIDDEN);
    dir.File("W3SVC9");

    EXPECT_EQ(SortedIds(ListLogSiteIds(dir.Dir())), (std::vector<std::string>{"", "1", "12", "X"}));
    EXPECT_EQ(ListLogSiteIds(TempPath("launcher_no_such_folder\\")), "");
}

TEST_F(WebServerCheckTest, WebServerIdIsTheFirstKnownIdOfTheList)
{
    ScopedEnvironment five("FAKE_IIS_SITES", "5,7");
    {
        const ComRef<IDispatch> root = CreateOleObject("IISNamespace");
        const ComRef<IDispatch> service =
            ToDispatch(CallMethod(root.get(), "GetObject", {"IIsWebService", "127.0.0.1/w3svc"}));
        EXPECT_EQ(FindWebServerId(service.get(), " 3,,5,7\r\n"), "5");
        EXPECT_EQ(FindWebServerId(service.get(), ""), "");
        EXPECT_EQ(FindWebServerId(service.get(), "2,3"), "");
    }
    EXPECT_EQ(iis.CallLog(), L"Create;IIsWebService(127.0.0.1/w3svc);IIsWebServer(3);IIsWebServer();IIsWebServer(5);"
                             L"IIsWebServer(2);IIsWebServer(3);");
}

}  // namespace
