#include "launcher/unSetupMain.h"

#include "ui/unGB2BIG5.h"

namespace {

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

// The install actions of the five buttons (install kinds 1 to 5) are added
// with the installer runner; until then the buttons do nothing.
void TfrmSetupMain::btnAllClick() {}
void TfrmSetupMain::btnServerClick() {}
void TfrmSetupMain::btnServer1Click() {}
void TfrmSetupMain::btnServer2Click() {}
void TfrmSetupMain::btnClientClick() {}

// TODO(branding): title, company caption, banner and add-in name from
// bin\Brand.dat. Until then the window keeps its design-time texts and banner.
void TfrmSetupMain::LoadProductInfo() {}
