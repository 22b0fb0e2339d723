// Every caption of the main window and the check dialog under code pages 936,
// 950 and 1252: the Simplified texts as designed, or on code page 950 the
// Taiwan-vocabulary texts in Traditional characters, BIG5-encoded.
#include "launcher/unSetupMain.h"

#include "checks/unCheckCondition.h"
#include "ui/FormTestSupport.h"

#include <gtest/gtest.h>

namespace {

using formtest::ExpectedCaption;

struct Text {
    const char* name;
    const TControl* control;
    const char* simplified;   // UTF-8
    const char* traditional;  // UTF-8
};

void ExpectCaptions(const std::vector<Text>& texts)
{
    for (const Text& t : texts) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.control->Caption(), ExpectedCaption(t.simplified, t.traditional));
        // What the screen gets: the same text, whatever the code page.
        const std::string shown = ::GetACP() == 950 ? t.traditional : t.simplified;
        EXPECT_EQ(formtest::WindowText(t.control->Handle()), AnsiToWide(shown, CP_UTF8));
    }
}

TEST(WindowTexts, MainWindow)
{
    const auto form = CreateForm<TfrmSetupMain>();
    const TfrmSetupMain& f = *form;
    const char* install = "安装...";
    const char* installTrad = "安裝...";
    ExpectCaptions({
        {"caption", &f, "V3.4版 安装程序", "V3.4版 安裝程序"},
        {"Label1", f.Label1, "请选择安装类型：", "請選擇安裝類型："},
        {"Label5", f.Label5, "适合在既是作服务器又作客户机的电脑上快速安装。", "適合在既是作伺服器又作客戶機的電腦上快速安裝。"},
        {"Label6", f.Label6, "适合大多数用户安装", "適合大多數用戶安裝"},
        {"Label7", f.Label7, "中间件服务器 - 安装", "中間件伺服器 - 安裝"},
        {"Label8", f.Label8, "网络服务器 - 安装", "網絡伺服器 - 安裝"},
        {"Label9", f.Label9, "建议远程的计算机直接从 网络服务器 下载客户端安装程序进行安装，",
         "建議遠程的計算機直接從 網絡伺服器 下載客戶端安裝程序進行安裝，"},
        {"Label3", f.Label3, "这样就可以省去拷贝安装程序的麻烦。", "這樣就可以省去拷貝安裝程序的麻煩。"},
        // The full install keeps 服务器 in Taiwan vocabulary too.
        {"radAll", f.radAll, "整体快速安装（包括服务器、Excel客户端、录单助手、数据库MSDE2000）",
         "整體快速安裝（包括服務器、Excel客戶端、錄單助手、數據庫MSDE2000）"},
        {"radServer", f.radServer, "服务器 - 常规安装", "伺服器 - 常規安裝"},
        {"radServers", f.radServers, "服务器 - 高级安装", "伺服器 - 高級安裝"},
        {"radClient", f.radClient, "Excel客户端、录单助手 - 安装", "Excel客戶端、錄單助手 - 安裝"},
        {"btnAll", f.btnAll, install, installTrad},
        {"btnServer", f.btnServer, install, installTrad},
        {"btnServer1", f.btnServer1, install, installTrad},
        {"btnServer2", f.btnServer2, install, installTrad},
        {"btnClient", f.btnClient, install, installTrad},
        {"btnOK", f.btnOK, "确定", "確定"},
        {"btnCancel", f.btnCancel, "关闭", "關閉"},
        {"SymbolLine1", f.SymbolLine1, "Korvan", "Korvan"},
    });
}

TEST(WindowTexts, CheckDialog)
{
    const auto form = CreateForm<TfrmCheckCondition>();
    const TfrmCheckCondition& f = *form;
    ExpectCaptions({
        {"caption", &f, "安装条件检测", "安裝條件檢測"},
        {"labDB1", f.labDB1, "数据库软件", "資料庫軟件"},
        {"labDB2", f.labDB2, "（MSSQL2000、MSDE2000、MSSQL2005、MSSQL2005 Express Edition）",
         "（MSSQL2000、MSDE2000、MSSQL2005、MSSQL2005 Express Edition）"},
        {"labIIS1", f.labIIS1, "IIS（Internet 信息服务）", "IIS（Internet 信息服務）"},
        {"labIIS2", f.labIIS2, "（安装时需要操作系统安装光盘）", "（安裝時需要作業系統安裝光盤）"},
        {"labExcel1", f.labExcel1, "Excel", "Excel"},
        {"labExcel2", f.labExcel2, "（ExcelXP、Excel2003、Excel2007）", "（ExcelXP、Excel2003、Excel2007）"},
        {"btnOK", f.btnOK, "确定", "確定"},
        {"btnCancel", f.btnCancel, "取消", "取消"},
    });
}

}  // namespace
