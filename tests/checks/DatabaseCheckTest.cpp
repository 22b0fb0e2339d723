// The database check against services of the fake service program registered
// with Wine's service control manager, and the MSDE setup stand-in.
#include "checks/DatabaseCheck.h"

#include "Fixtures.h"
#include "support/HandleCount.h"
#include "support/MessageBoxAnswerer.h"
#include "ui/unMsgDialog.h"
#include "util/unFileAndDir.h"
#include "util/unOther.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::wstring kStartFailed = L"数据库软件（MSSQL/MSDE）未能正常启动，请检查原因！";
const std::wstring kSystemIncomplete = L"操作系统不完整！";
const std::wstring kNoSetup =
    L"没有在本机检测出MS系列数据库！\r\n继续安装本系统前，请先安装MS系列数据库！\r\n"
    L"本版安装程序不含数据库 MSDE2000，请单独安装MS系列数据库，或者重新下载含有MSDE2000的安装程序！";
const std::wstring kOfferMsde = L"没有在本机检测出MS系列数据库，是否现在安装免费数据库 MSDE2000 ?";
const std::wstring kSaPassword = L"数据库用户 SA 的密码是\"zq\"，安装本系统的时候需要用到这个密码，请记在笔记本上！";
const std::wstring kNetworkDatabase =
    L"本系统必需MS系列数据库的支持，但数据库不一定在本机，也可以在网络上的其它机器上！\r\n"
    L"你确定网络上有可使用的MS系列数据库吗？";
const std::wstring kInstallFirst = L"继续安装本系统前，请先安装MS系列数据库！";

bool IsTestService(const std::string& name)
{
    return _strnicmp(name.c_str(), "MSSQL", 5) == 0 || name.rfind("LauncherFill", 0) == 0 ||
           name.find("MSSQL") != std::string::npos;
}

// The MSDE setup beside the launcher: the stand-in copied to bin\MSDERelA\Setup.exe.
class MsdeSetupFile {
public:
    MsdeSetupFile()
    {
        Remove();
        ::CreateDirectoryA((ExeDir() + "bin").c_str(), nullptr);
        ::CreateDirectoryA((ExeDir() + "bin\\MSDERelA").c_str(), nullptr);
        ::CopyFileA(FixturePath("fake_msde_setup.exe").c_str(), Path().c_str(), FALSE);
    }
    ~MsdeSetupFile() { Remove(); }
    static std::string Path() { return ExeDir() + "bin\\MSDERelA\\Setup.exe"; }
    static void Remove()
    {
        ::DeleteFileA(Path().c_str());
        ::RemoveDirectoryA((ExeDir() + "bin\\MSDERelA").c_str());
    }
};

// Replaces how the launcher opens the service control manager.
class ScmRefusal {
public:
    explicit ScmRefusal(OpenScManagerFunction open) : old_(OpenScManagerCall) { OpenScManagerCall = open; }
    ~ScmRefusal() { OpenScManagerCall = old_; }

private:
    OpenScManagerFunction old_;
};

DWORD refusalError = ERROR_ACCESS_DENIED;

SC_HANDLE WINAPI RefuseAll(LPCSTR, LPCSTR, DWORD)
{
    ::SetLastError(refusalError);
    return nullptr;
}

SC_HANDLE WINAPI RefuseFullAccess(LPCSTR machine, LPCSTR database, DWORD access)
{
    if (access == SC_MANAGER_ALL_ACCESS) return RefuseAll(machine, database, access);
    return ::OpenSCManagerA(machine, database, access);
}

SC_HANDLE WINAPI GrantConnectOnly(LPCSTR machine, LPCSTR database, DWORD)
{
    return ::OpenSCManagerA(machine, database, SC_MANAGER_CONNECT);
}

struct Outcome {
    bool result = false;
    std::vector<std::wstring> texts;     // the messages and questions, in order
    std::vector<std::wstring> captions;
    int crosses = 0;
    size_t boxesBeforeCross = 0;  // boxes already shown when the cross first appeared
};

class DatabaseCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTestServices();
        MsdeSetupFile::Remove();
        // The first use of the manager, the shell and the message boxes opens what they keep.
        FindSqlServerService();
        RunAndWait(ExeDir() + "bin\\NoSuchSetup.exe", "", SW_SHOWNORMAL);
        MessageBoxAnswerer answerer;
        ShowInfo("first", true, "box");
        AskYesNo("first", true);
    }
    void TearDown() override { RemoveTestServices(); }

    static void RemoveTestServices()
    {
        for (const std::string& name : ServiceNames())
            if (IsTestService(name)) RemoveService(name);
    }

    // Runs the check with the message boxes answered as given. The handles are
    // counted without the answerer, whose thread has handles of its own.
    static Outcome Check(std::vector<int> answers = {})
    {
        const DWORD handlesBefore = OpenHandleCount();
        Outcome outcome;
        {
            MessageBoxAnswerer answerer(std::move(answers));
            outcome.result = CheckDatabase(false, [&] {
                if (outcome.crosses++ == 0) outcome.boxesBeforeCross = answerer.Seen().size();
            });
            for (const SeenMessageBox& box : answerer.Seen()) {
                outcome.texts.push_back(box.text);
                outcome.captions.push_back(box.caption);
            }
        }
        EXPECT_EQ(OpenHandleCount(), handlesBefore);
        return outcome;
    }
};

TEST_F(DatabaseCheckTest, StartCodes)
{
    FakeService running("MSSQL$RUNNING");
    running.Start();
    FakeService stopped("MSSQL$STOPPED");
    FakeService starting("MSSQL$STARTING", SERVICE_DEMAND_START, 20000);
    starting.Start(false);
    FakeService disabled("MSSQL$DISABLED", SERVICE_DISABLED);

    EXPECT_EQ(StartServiceIfStopped(""), 0);
    EXPECT_EQ(StartServiceIfStopped("MSSQL$NOSUCH"), 0);
    EXPECT_EQ(StartServiceIfStopped("MSSQL$RUNNING"), 1);
    EXPECT_EQ(StartServiceIfStopped("MSSQL$STARTING"), 1);
    EXPECT_EQ(StartServiceIfStopped("MSSQL$STOPPED"), 2);
    EXPECT_TRUE(WaitForServiceState("MSSQL$STOPPED", SERVICE_RUNNING));
    EXPECT_EQ(StartServiceIfStopped("MSSQL$DISABLED"), 3);
    {
        ScmRefusal refusal(RefuseFullAccess);
        EXPECT_EQ(StartServiceIfStopped("MSSQL$RUNNING"), 4);
    }
}

TEST_F(DatabaseCheckTest, AvailableServicePassesSilently)
{
    for (const bool running : {true, false}) {
        FakeService sql("MSSQLSERVER");
        if (running) sql.Start();
        const Outcome outcome = Check();
        EXPECT_TRUE(outcome.result);
        EXPECT_TRUE(outcome.texts.empty());
        EXPECT_EQ(outcome.crosses, 0);
        EXPECT_TRUE(WaitForServiceState("MSSQLSERVER", SERVICE_RUNNING));
    }
}

TEST_F(DatabaseCheckTest, DisabledServiceShowsTheCrossAndTheStartMessage)
{
    FakeService sql("MSSQL$NAME", SERVICE_DISABLED);
    const Outcome outcome = Check();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kStartFailed});
    EXPECT_EQ(outcome.captions, std::vector<std::wstring>{L"提示"});
    EXPECT_EQ(outcome.crosses, 1);
    EXPECT_EQ(outcome.boxesBeforeCross, 0u);
}

TEST_F(DatabaseCheckTest, WithoutServiceAndSetupFileTellsWhatToInstall)
{
    FakeService notSql("MSSQLSERVERX");  // not an SQL Server name
    const Outcome outcome = Check();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kNoSetup});
    EXPECT_EQ(outcome.crosses, 1);
    EXPECT_EQ(outcome.boxesBeforeCross, 0u);
}

TEST_F(DatabaseCheckTest, MsdeOfferAndItsAnswers)
{
    struct Case {
        const char* what;
        std::vector<int> answers;
        bool setupInstalls;
        bool result;
        std::vector<std::wstring> texts;
    };
    const Case cases[] = {
        {"install, setup installs", {IDYES, IDOK}, true, true, {kOfferMsde, kSaPassword}},
        {"install, user cancels the setup", {IDYES, IDOK}, false, false, {kOfferMsde, kSaPassword}},
        {"decline, database on the network", {IDNO, IDYES}, false, true, {kOfferMsde, kNetworkDatabase}},
        {"decline both", {IDNO, IDNO, IDOK}, false, false, {kOfferMsde, kNetworkDatabase, kInstallFirst}},
    };
    const std::string command = FakeServiceCommand("MSSQL$MSDE");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MsdeSetupFile setup;
        ScopedEnvironment service("FAKE_MSDE_SERVICE", c.setupInstalls ? "MSSQL$MSDE" : nullptr);
        ScopedEnvironment serviceCommand("FAKE_MSDE_SERVICE_COMMAND", command.c_str());

        const Outcome outcome = Check(c.answers);

        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.texts, c.texts);
        ASSERT_FALSE(outcome.captions.empty());
        EXPECT_EQ(outcome.captions[0], L"确认");
        EXPECT_EQ(outcome.crosses, 1);
        EXPECT_EQ(outcome.boxesBeforeCross, 0u);
        EXPECT_EQ(ServiceState("MSSQL$MSDE"), c.setupInstalls ? DWORD(SERVICE_RUNNING) : 0u);
        RemoveService("MSSQL$MSDE");
    }
}

TEST_F(DatabaseCheckTest, UnrecognisedNamesAreNotSqlServer)
{
    FakeService longer("MSSQLSERVER_OLD");
    FakeService inside("XMSSQL$A");
    FakeService lower("mssql$lower");
    EXPECT_EQ(FindSqlServerService(), "");
}

TEST_F(DatabaseCheckTest, FirstInstanceInManagerOrderIsStartedAndTheOtherNot)
{
    FakeService named("MSSQL$NAME");
    FakeService defaultInstance("MSSQLSERVER");
    const std::vector<std::string> names = ServiceNames();
    const auto namedAt = std::find(names.begin(), names.end(), "MSSQL$NAME");
    const auto defaultAt = std::find(names.begin(), names.end(), "MSSQLSERVER");
    const std::string first = namedAt < defaultAt ? "MSSQL$NAME" : "MSSQLSERVER";
    const std::string second = namedAt < defaultAt ? "MSSQLSERVER" : "MSSQL$NAME";

    EXPECT_EQ(FindSqlServerService(), first);
    EXPECT_TRUE(Check().result);
    EXPECT_TRUE(WaitForServiceState(first, SERVICE_RUNNING));
    EXPECT_EQ(ServiceState(second), DWORD(SERVICE_STOPPED));
}

TEST_F(DatabaseCheckTest, FindsTheServiceWhenTheListNeedsSeveralBuffers)
{
    std::vector<std::unique_ptr<FakeService>> fillers;
    for (int i = 0; i < 40; ++i) fillers.push_back(std::make_unique<FakeService>("LauncherFill" + std::to_string(i)));
    FakeService late("MSSQL$LATE");
    const std::vector<std::string> names = ServiceNames();
    const size_t lateAt = std::find(names.begin(), names.end(), "MSSQL$LATE") - names.begin();
    ASSERT_GT(lateAt * sizeof(ENUM_SERVICE_STATUSA), 1024u) << "the service must lie beyond the first buffer";

    EXPECT_EQ(FindSqlServerService(), "MSSQL$LATE");
}

TEST_F(DatabaseCheckTest, RefusedManager)
{
    FakeService sql("MSSQLSERVER");
    sql.Start();
    {
        // Only full access refused: the service is found, but cannot be started.
        ScmRefusal refusal(RefuseFullAccess);
        const Outcome outcome = Check();
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.texts, std::vector<std::wstring>{kSystemIncomplete});
        EXPECT_EQ(outcome.crosses, 0);
    }
    {
        // Refused altogether: the search says why first.
        ScmRefusal refusal(RefuseAll);
        const Outcome outcome = Check();
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.texts, (std::vector<std::wstring>{L"Acces Denied", kSystemIncomplete}));
        EXPECT_EQ(outcome.crosses, 0);
    }
}

TEST_F(DatabaseCheckTest, ManagerErrorMessagesOfTheSearch)
{
    FakeService sql("MSSQLSERVER");
    const std::pair<DWORD, const wchar_t*> openErrors[] = {{ERROR_ACCESS_DENIED, L"Acces Denied"},
                                                           {ERROR_INVALID_PARAMETER, L"Invalid Parameter"},
                                                           {ERROR_DATABASE_DOES_NOT_EXIST, L"Database doesn't exists"},
                                                           {ERROR_NOT_ENOUGH_MEMORY, L"Unknown Error"}};
    for (const auto& [error, text] : openErrors) {
        MessageBoxAnswerer answerer;
        ScmRefusal refusal(RefuseAll);
        refusalError = error;
        EXPECT_EQ(FindSqlServerService(), "");
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].text, text);
        EXPECT_EQ(answerer.Seen()[0].caption, L"提示");
    }
    refusalError = ERROR_ACCESS_DENIED;

    MessageBoxAnswerer answerer;
    ScmRefusal refusal(GrantConnectOnly);
    EXPECT_EQ(FindSqlServerService(), "");
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"The specified handle was not opened with SC_MANAGER_ENUMERATE_SERVICE access");
}

}  // namespace
