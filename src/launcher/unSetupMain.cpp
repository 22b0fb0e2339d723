#include "launcher/unSetupMain.h"

#include "checks/unCheckCondition.h"
#include "ui/Application.h"
#include "ui/unGB2BIG5.h"
#include "ui/unMsgDialog.h"
#include "util/DataPacket.h"
#include "util/Errors.h"
#include "util/WinHandles.h"
#include "util/unFileAndDir.h"
#include "util/unOther.h"
#include "util/unReg_File.h"
#include "util/unZipLib.h"

#include <shellapi.h>

#include <cstdint>
#include <vector>

namespace {

// The product's installers, below the launcher's folder.
constexpr char kMiddlewareInstaller[] = "bin\\TierSetup.exe";
constexpr char kWebInstaller[] = "bin\\PortalSetup.exe";
constexpr char kClientInstaller[] = "bin\\DeskSetup.exe";
// Where the installers and the launcher hand over ALLSetup and COMPart.
constexpr char kHandOverKey[] = "SoftWare\\Korvan\\";

std::string InstallerPath(const char* relative)
{
    return ExeDir() + relative;
}

std::string ReadHandOver(const char* valueName)
{
    return RegReadStr(HKEY_LOCAL_MACHINE, kHandOverKey, valueName);
}

// An installer command: the command word, a blank and the folder in double
// quotation marks, inserted as it is.
std::string InstallCommand(const char* word, const std::string& folder)
{
    return std::string(word) + " \"" + folder + "\"";
}

std::string ReplaceFirst(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = from.empty() ? std::string::npos : text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::vector<std::uint8_t> BytesOf(const VARIANT& array)
{
    SAFEARRAY* const sa = array.parray;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(sa, 1, &lower);
    ::SafeArrayGetUBound(sa, 1, &upper);
    const SafeArrayAccess access(sa);
    const auto* data = static_cast<const std::uint8_t*>(access.data());
    return data ? std::vector<std::uint8_t>(data, data + (upper - lower + 1)) : std::vector<std::uint8_t>();
}

// The data packet inside the product-information file: the file's bytes as a
// byte array, inflated.
std::vector<std::uint8_t> ReadBrandPacket(const std::string& path)
{
    const std::vector<std::uint8_t> file = ReadWholeFile(path);
    const ComRef<IStream> stream = CreateMemoryStream();
    ULONG written = 0;
    if (!file.empty()) stream->Write(file.data(), static_cast<ULONG>(file.size()), &written);
    const Variant packed = StreamToVariant(stream.get());
    const Variant payload = UnzipVariant(packed.get());
    return BytesOf(payload.get());
}

template <typename Control>
Control* Place(TfrmSetupMain* form, int left, int top, int width, int height, const char* utf8Caption)
{
    auto* control = new Control(form);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    control->SetCaption(Gb(utf8Caption));
    return control;
}

}  // namespace

TfrmSetupMain::TfrmSetupMain()
{
    SetCaption(Gb("V3.4版 安装程序"));
    SetClientSize(585, 436);
    SetColor(COLOR_WINDOW);

    const char* const install = "安装...";
    btnAll = Place<TPushButton>(this, 493, 105, 75, 41, install);
    btnAll->SetTabOrder(3);
    btnServer = Place<TPushButton>(this, 181, 164, 75, 41, install);
    btnServer->SetEnabled(false);
    btnServer->SetTabOrder(4);
    btnServer1 = Place<TPushButton>(this, 181, 240, 75, 25, install);
    btnServer1->SetEnabled(false);
    btnServer1->SetTabOrder(5);
    Label5 = Place<TLabel>(this, 61, 129, 276, 12, "适合在既是作服务器又作客户机的电脑上快速安装。");
    Label6 = Place<TLabel>(this, 61, 188, 108, 12, "适合大多数用户安装");
    Label7 = Place<TLabel>(this, 61, 248, 114, 12, "中间件服务器 - 安装");
    Label8 = Place<TLabel>(this, 61, 276, 102, 12, "网络服务器 - 安装");
    btnServer2 = Place<TPushButton>(this, 181, 272, 75, 25, install);
    btnServer2->SetEnabled(false);
    btnServer2->SetTabOrder(6);
    Label9 = Place<TLabel>(this, 61, 336, 372, 12, "建议远程的计算机直接从 网络服务器 下载客户端安装程序进行安装，");
    radAll = Place<TRadioButton>(this, 37, 105, 452, 16,
                                 "整体快速安装（包括服务器、Excel客户端、录单助手、数据库MSDE2000）");
    radAll->SetChecked(true);
    radAll->SetTabOrder(7);
    radServer = Place<TRadioButton>(this, 37, 164, 129, 17, "服务器 - 常规安装");
    radServer->SetTabOrder(8);
    radServers = Place<TRadioButton>(this, 37, 221, 129, 17, "服务器 - 高级安装");
    radServers->SetTabOrder(9);
    radClient = Place<TRadioButton>(this, 37, 310, 236, 17, "Excel客户端、录单助手 - 安装");
    radClient->SetTabOrder(10);
    Label1 = Place<TLabel>(this, 14, 82, 96, 12, "请选择安装类型：");
    Image1 = Place<TImage>(this, 0, 0, 585, 69, "");
    Image1->LoadBitmapResource(L"BANNER");
    Shape1 = Place<TShape>(this, 0, 68, 587, 1, "");
    btnClient = Place<TPushButton>(this, 277, 305, 75, 25, install);
    btnClient->SetEnabled(false);
    btnClient->SetTabOrder(11);
    Label3 = Place<TLabel>(this, 61, 351, 204, 12, "这样就可以省去拷贝安装程序的麻烦。");

    SymbolLine1->SetBounds(10, 372, 563, 15);
    btnOK->SetBounds(291, 397, 75, 22);
    btnOK->SetVisible(false);
    btnCancel->SetBounds(435, 397, 75, 22);
    btnCancel->SetCaption(Gb("关闭"));

    for (TRadioButton* radio : {radAll, radServer, radServers, radClient}) radio->OnClick = [this] { radAllClick(); };
    btnAll->OnClick = [this] { btnAllClick(); };
    btnServer->OnClick = [this] { btnServerClick(); };
    btnServer1->OnClick = [this] { btnServer1Click(); };
    btnServer2->OnClick = [this] { btnServer2Click(); };
    btnClient->OnClick = [this] { btnClientClick(); };
}

void TfrmSetupMain::SetTraditionalTexts()
{
    TfrmFormBase::SetTraditionalTexts();
    SetCaption(Gb("V3.4版 安装程序"));
    Label1->SetCaption(Gb("请选择安装类型："));
    Label5->SetCaption(Gb("适合在既是作伺服器又作客户机的电脑上快速安装。"));
    Label6->SetCaption(Gb("适合大多数用户安装"));
    Label7->SetCaption(Gb("中间件伺服器 - 安装"));
    Label8->SetCaption(Gb("网络伺服器 - 安装"));
    Label9->SetCaption(Gb("建议远程的计算机直接从 网络伺服器 下载客户端安装程序进行安装，"));
    Label3->SetCaption(Gb("这样就可以省去拷贝安装程序的麻烦。"));
    radAll->SetCaption(Gb("整体快速安装（包括服务器、Excel客户端、录单助手、数据库MSDE2000）"));
    radServer->SetCaption(Gb("伺服器 - 常规安装"));
    radServers->SetCaption(Gb("伺服器 - 高级安装"));
    radClient->SetCaption(Gb("Excel客户端、录单助手 - 安装"));
    for (TPushButton* button : {btnAll, btnServer, btnServer1, btnServer2, btnClient})
        button->SetCaption(Gb("安装..."));
    btnCancel->SetCaption(Gb("关闭"));
}

void TfrmSetupMain::FormShow()
{
    TfrmFormBase::FormShow();
    LoadProductInfo();
}

void TfrmSetupMain::btnCancelClick()
{
    TfrmFormBase::btnCancelClick();
    Close();
}

void TfrmSetupMain::radAllClick()
{
    btnAll->SetEnabled(radAll->Checked());
    btnServer->SetEnabled(radServer->Checked());
    btnServer1->SetEnabled(radServers->Checked());
    btnServer2->SetEnabled(radServers->Checked());
    btnClient->SetEnabled(radClient->Checked());
}

bool TfrmSetupMain::RunAndWait(const std::string& fileName, const std::string& parameters, int showCmd)
{
    return ::RunAndWait(fileName, parameters, showCmd);
}

// The install actions. Each asks for its checks first; the two chains go on
// to the next installer only when the one before left ALLSetup at "1".

void TfrmSetupMain::btnAllClick()
{
    if (!CheckConditions(ikAll)) return;
    RunAndWait(InstallerPath(kMiddlewareInstaller), "COM", SW_SHOWNORMAL);
    if (ReadHandOver("ALLSetup") == "1")
        RunAndWait(InstallerPath(kWebInstaller), InstallCommand("WEB_CLIENT", ReadComPartPath()), SW_SHOWNORMAL);
    if (ReadHandOver("ALLSetup") == "1")
        RunAndWait(InstallerPath(kClientInstaller), InstallCommand("CLIENT", ReadComPartPath()), SW_SHOWNORMAL);
}

void TfrmSetupMain::btnServerClick()
{
    if (!CheckConditions(ikServer)) return;
    RunAndWait(InstallerPath(kMiddlewareInstaller), "COM", SW_SHOWNORMAL);
    if (ReadHandOver("ALLSetup") != "1") return;
    RunAndWait(InstallerPath(kWebInstaller), InstallCommand("WEB", ReadComPartPath()), SW_SHOWNORMAL);
}

void TfrmSetupMain::btnServer1Click()
{
    if (CheckConditions(ikMiddleware)) RunAndWait(InstallerPath(kMiddlewareInstaller), "", SW_SHOWNORMAL);
}

void TfrmSetupMain::btnServer2Click()
{
    if (CheckConditions(ikWeb)) RunAndWait(InstallerPath(kWebInstaller), "", SW_SHOWNORMAL);
}

void TfrmSetupMain::btnClientClick()
{
    if (CheckConditions(ikClient)) RunAndWait(InstallerPath(kClientInstaller), "", SW_SHOWNORMAL);
}

std::string TfrmSetupMain::ReadComPartPath()
{
    RegWriteStr(HKEY_LOCAL_MACHINE, kHandOverKey, "ALLSetup", "0");
    const std::string asRead = ReadHandOver("COMPart");
    std::string folder = asRead;
    if (!folder.empty() && folder.back() == '+') {
        const size_t at = folder.find("\\COM+");
        if (at != std::string::npos) folder.erase(at, 5);
    }
    return DirectoryExists(folder) ? folder : asRead;
}

void TfrmSetupMain::LoadProductInfo()
{
    const std::string path = ExeDir() + "bin\\Brand.dat";
    if (!FileExists(path)) FatalMissingFile("");
    try {
        DeployDataRuntime();
        const DataPacket packet(ReadBrandPacket(path));
        SetCaption(LangText(packet.Text("a10")));
        SymbolLine1->SetCaption(LangText(packet.Text("a16")));
        Image1->LoadBitmapFile(packet.Bytes("d3"));
        const std::string addIn = packet.Text("a18");
        for (TRadioButton* radio : {radAll, radClient})
            radio->SetCaption(ReplaceFirst(radio->Caption(), LangText(Gb("录单助手")), LangText(addIn)));
    } catch (const std::exception& error) {
        FatalMissingFile(error.what());
    }
}

void DeployDataRuntime()
{
    const std::string systemDir = GetSystemDir();
    const std::string target = systemDir + "midas.dll";
    const std::vector<std::uint8_t> runtime = ReadWholeFile(ExeDir() + "bin\\rtm.e__");
    WriteWholeFile(target, runtime);  // in use or not writable: registered as it is
    ::ShellExecuteA(nullptr, "open", (systemDir + "RegSvr32.exe").c_str(), (" /s \"" + target + "\"").c_str(), "",
                    SW_SHOW);
}

void FatalMissingFile(std::string_view detail)
{
    // An end requested by an earlier call is still pending: a message box
    // would close at once on it, unseen. Take it back; it is asked for again below.
    MSG pendingQuit;
    ::PeekMessageW(&pendingQuit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    ShowInfo(Gb("缺少文件，程序结束运行！\r\n") + std::string(detail), false, Gb("提示"));
    Application().Terminate();
}
