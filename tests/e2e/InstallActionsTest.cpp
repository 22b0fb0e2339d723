// The install buttons of the real launcher with its checks made to pass (or
// fail) by the fixtures: which installers run, in order, with which command
// lines, what the registry holds afterwards, and that the main window stays
// usable while an installer runs.
#include "Distribution.h"

#include "Fixtures.h"
#include "util/WinHandles.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using Runs = std::vector<std::wstring>;

// Where the main window's controls stand.
constexpr POINT kRadAll{37, 105}, kRadServer{37, 164}, kRadServers{37, 221}, kRadClient{37, 310};
constexpr POINT kBtnAll{493, 105}, kBtnServer{181, 164}, kBtnServer1{181, 240}, kBtnServer2{181, 272},
    kBtnClient{277, 305};

const std::wstring kDefaultComPart = L"C:\\Program Files\\Korvan\\Server\\COM+";
const std::wstring kDefaultFolder = L"\"C:\\Program Files\\Korvan\\Server\"";

bool InstallerWindowOpen()
{
    return ::FindWindowW(L"StandinInstaller", nullptr) != nullptr;
}

// How many visible launcher forms (the main window, a check dialog) the process shows.
size_t FormCount(const LauncherProcess& launcher)
{
    size_t n = 0;
    for (HWND wnd : ProcessWindows(launcher.Id()))
        if (ClassName(wnd) == L"LauncherForm") ++n;
    return n;
}

class E2eInstall : public ::testing::Test {
protected:
    ComApartment apartment;
    FakeService sql{"MSSQLSERVER"};
    FakeService w3svc{"w3svc"};
    FakeComServer iis{"fake_iis.dll"};
    std::optional<FakeComServer> excel{std::in_place, "fake_excel.dll"};
    Distribution dist;

    void SetUp() override { RemoveHandOverKey(); }
    void TearDown() override { RemoveHandOverKey(); }

    // Starts the launcher, picks the radio button, presses the install button
    // and waits until `expected` installers have run and the action is over.
    Runs Install(POINT radio, POINT button, size_t expected, const std::map<std::wstring, std::wstring>& env = {})
    {
        const auto launcher = dist.Start(env);
        const HWND main = WaitForMainWindow(*launcher);
        EXPECT_TRUE(main) << "no main window";
        if (!main) return {};
        const HWND install = ControlAt(main, button.x, button.y);
        EXPECT_TRUE(install);
        Click(ControlAt(main, radio.x, radio.y));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(install); }, 5s)) << "install button not enabled";
        Click(install);
        EXPECT_TRUE(WaitUntil([&] { return dist.InstallerRuns().size() >= expected; }, 60s))
            << "installers that ran: " << dist.InstallerRuns().size();
        WaitIdle(*launcher);
        EXPECT_TRUE(launcher->Running());
        return dist.InstallerRuns();
    }

    // Until no installer and no check dialog is open, and no installer follows.
    static void WaitIdle(const LauncherProcess& launcher)
    {
        for (int settled = 0; settled < 2;) {
            WaitUntil([&] { return !InstallerWindowOpen() && FormCount(launcher) <= 1; }, 60s);
            ::Sleep(1500);
            settled = (!InstallerWindowOpen() && FormCount(launcher) <= 1) ? settled + 1 : 0;
        }
    }
};

TEST_F(E2eInstall, FullQuickInstallRunsTheThreeInstallersWithTheMiddlewareFolder)
{
    EXPECT_EQ(Install(kRadAll, kBtnAll, 3),
              (Runs{L"TierSetup.exe|COM", L"PortalSetup.exe|WEB_CLIENT " + kDefaultFolder,
                    L"DeskSetup.exe|CLIENT " + kDefaultFolder}));
    EXPECT_EQ(HandOverValue(L"ALLSetup"), L"1");
    EXPECT_EQ(HandOverValue(L"COMPart"), kDefaultComPart);
}

TEST_F(E2eInstall, StandardServerInstallRunsMiddlewareThenWeb)
{
    EXPECT_EQ(Install(kRadServer, kBtnServer, 2),
              (Runs{L"TierSetup.exe|COM", L"PortalSetup.exe|WEB " + kDefaultFolder}));
    EXPECT_EQ(HandOverValue(L"ALLSetup"), L"1");
}

TEST_F(E2eInstall, AChainEndsWhenTheInstallerDoesNotLeaveAllSetupAtOne)
{
    EXPECT_EQ(Install(kRadAll, kBtnAll, 1, {{L"STANDIN_ALLSETUP", L"0"}}), Runs{L"TierSetup.exe|COM"});
    EXPECT_EQ(HandOverValue(L"ALLSetup"), L"0");
    std::filesystem::remove(dist.InstallerLog());
    EXPECT_EQ(Install(kRadServer, kBtnServer, 1, {{L"STANDIN_ALLSETUP", L"0"}}), Runs{L"TierSetup.exe|COM"});
}

TEST_F(E2eInstall, TheWebInstallerGetsTheMiddlewareFolderAsTheRegistryHoldsIt)
{
    // The middleware installer leaves COMPart alone; the test puts it there.
    const std::wstring existingParent = (dist.Folder() / L"Server").wstring();
    std::filesystem::create_directories(existingParent);
    struct Case {
        const char* name;
        std::optional<std::wstring> comPart;
        std::wstring folder;
    } cases[] = {
        {"parent exists", existingParent + L"\\COM+", existingParent},
        {"no parent", L"C:\\e2e_no_such_folder\\Server\\COM+", L"C:\\e2e_no_such_folder\\Server\\COM+"},
        {"existing folder", existingParent, existingParent},
        {"empty", L"", L""},
        {"missing", std::nullopt, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveHandOverKey();
        if (c.comPart) SetHandOverValue(L"COMPart", *c.comPart);
        std::filesystem::remove(dist.InstallerLog());
        EXPECT_EQ(Install(kRadServer, kBtnServer, 2, {{L"STANDIN_COMPART", L"-"}}),
                  (Runs{L"TierSetup.exe|COM", L"PortalSetup.exe|WEB \"" + c.folder + L"\""}));
        EXPECT_EQ(HandOverValue(L"COMPart"), c.comPart);
    }
}

TEST_F(E2eInstall, SingleInstallsRunTheirInstallerWithoutParametersAndLeaveTheHandOverAlone)
{
    struct Case {
        const char* name;
        POINT radio, button;
        std::wstring run;
    } cases[] = {
        {"middleware", kRadServers, kBtnServer1, L"TierSetup.exe|"},
        {"web", kRadServers, kBtnServer2, L"PortalSetup.exe|"},
        {"client", kRadClient, kBtnClient, L"DeskSetup.exe|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetHandOverValue(L"ALLSetup", L"left");
        SetHandOverValue(L"COMPart", L"C:\\left\\COM+");
        std::filesystem::remove(dist.InstallerLog());
        EXPECT_EQ(Install(c.radio, c.button, 1, {{L"STANDIN_ALLSETUP", L"-"}, {L"STANDIN_COMPART", L"-"}}),
                  Runs{c.run});
        EXPECT_EQ(HandOverValue(L"ALLSetup"), L"left");
        EXPECT_EQ(HandOverValue(L"COMPart"), L"C:\\left\\COM+");
    }
}

TEST_F(E2eInstall, AFailedCheckRunsNoInstaller)
{
    excel.reset();  // no Excel on this machine
    const auto launcher = dist.Start();
    const HWND main = WaitForMainWindow(*launcher);
    ASSERT_TRUE(main);
    Click(ControlAt(main, kRadClient.x, kRadClient.y));
    const HWND install = ControlAt(main, kBtnClient.x, kBtnClient.y);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(install); }, 5s));
    SetHandOverValue(L"ALLSetup", L"1");
    Click(install);

    const auto box = AnswerMessageBox(*launcher, IDOK, 30s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"没有检测到 Excel，继续安装本系统前，请先安装 Excel ！");
    WaitIdle(*launcher);
    EXPECT_TRUE(dist.InstallerRuns().empty());
    EXPECT_EQ(HandOverValue(L"ALLSetup"), L"1");
    EXPECT_TRUE(launcher->Running());
}

TEST_F(E2eInstall, MainWindowRepaintsAndAnswersClicksWhileAnInstallerRuns)
{
    const auto launcher = dist.Start({}, L"3");
    const HWND main = WaitForMainWindow(*launcher);
    ASSERT_TRUE(main);
    const HWND btnServer1 = ControlAt(main, kBtnServer1.x, kBtnServer1.y);
    const HWND btnClient = ControlAt(main, kBtnClient.x, kBtnClient.y);
    Click(ControlAt(main, kRadServers.x, kRadServers.y));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(btnServer1); }, 5s));
    Click(btnServer1);
    ASSERT_TRUE(WaitUntil([&] { return InstallerWindowOpen(); }, 30s)) << "the installer did not start";

    // Invalidated, the window paints itself again while the installer runs.
    ::InvalidateRect(main, nullptr, TRUE);
    EXPECT_TRUE(WaitUntil([&] { return !::GetUpdateRect(main, nullptr, FALSE); }, 2s)) << "not repainted";
    // A click on another radio button moves the enabled install button.
    Click(ControlAt(main, kRadClient.x, kRadClient.y));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(btnClient) && !::IsWindowEnabled(btnServer1); }, 2s));
    EXPECT_TRUE(InstallerWindowOpen()) << "the installer ended before the window was tried";
    WaitIdle(*launcher);
    EXPECT_EQ(dist.InstallerRuns(), Runs{L"TierSetup.exe|"});
}

}  // namespace
