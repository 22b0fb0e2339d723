// Script conversion as the system does it, under whatever ANSI code page the
// test runs in (the suite runs under 936, 950 and 1252).
#include "ui/unGB2BIG5.h"
#include "ui/unMsgDialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Big5(const char* utf8Traditional)
{
    return WideToAnsi(AnsiToWide(utf8Traditional, CP_UTF8), 950);
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

TEST(GBToBig5, ConvertsScriptAndEncoding)
{
    EXPECT_EQ(Hex(GBToBig5(Gb("确定"))), "BD 54 A9 77");  // 確定
    // Same characters in both scripts: only the encoding changes.
    EXPECT_EQ(Hex(Gb("取消")), "C8 A1 CF FB");
    EXPECT_EQ(Hex(GBToBig5(Gb("取消"))), "A8 FA AE F8");
}

TEST(GBToBig5, EmptyAsciiNulAndCharactersWithoutBig5Code)
{
    EXPECT_EQ(GBToBig5(""), "");
    EXPECT_EQ(GBToBig5("Excel2003 (MSSQL/MSDE)\r\n"), "Excel2003 (MSSQL/MSDE)\r\n");
    EXPECT_EQ(GBToBig5(Gb("确定") + std::string(1, '\0') + Gb("取消")), Big5("確定"));
    // 碱 has no traditional form in BIG5: the code page's default character.
    EXPECT_EQ(GBToBig5(Gb("纯碱")), Big5("純") + "?");
}

// The texts that the windows put on their controls on a BIG5 system (already
// in Taiwan vocabulary), and the texts of the base window.
TEST(GBToBig5, ConvertsEveryTaiwanVocabularyTextOfTheWindows)
{
    const struct {
        const char* simplified;
        const char* traditional;
    } texts[] = {
        {"确定", "確定"},
        {"取消", "取消"},
        {"关闭", "關閉"},
        {"V3.4版 安装程序", "V3.4版 安裝程序"},
        {"请选择安装类型：", "請選擇安裝類型："},
        {"适合在既是作伺服器又作客户机的电脑上快速安装。", "適合在既是作伺服器又作客戶機的電腦上快速安裝。"},
        {"适合大多数用户安装", "適合大多數用戶安裝"},
        {"中间件伺服器 - 安装", "中間件伺服器 - 安裝"},
        {"网络伺服器 - 安装", "網絡伺服器 - 安裝"},
        {"建议远程的计算机直接从 网络伺服器 下载客户端安装程序进行安装，",
         "建議遠程的計算機直接從 網絡伺服器 下載客戶端安裝程序進行安裝，"},
        {"这样就可以省去拷贝安装程序的麻烦。", "這樣就可以省去拷貝安裝程序的麻煩。"},
        {"整体快速安装（包括服务器、Excel客户端、录单助手、数据库MSDE2000）",
         "整體快速安裝（包括服務器、Excel客戶端、錄單助手、數據庫MSDE2000）"},
        {"伺服器 - 常规安装", "伺服器 - 常規安裝"},
        {"伺服器 - 高级安装", "伺服器 - 高級安裝"},
        {"Excel客户端、录单助手 - 安装", "Excel客戶端、錄單助手 - 安裝"},
        {"安装...", "安裝..."},
        {"安装条件检测", "安裝條件檢測"},
        {"资料库软件", "資料庫軟件"},
        {"（MSSQL2000、MSDE2000、MSSQL2005、MSSQL2005 Express Edition）",
         "（MSSQL2000、MSDE2000、MSSQL2005、MSSQL2005 Express Edition）"},
        {"IIS（Internet 信息服务）", "IIS（Internet 信息服務）"},
        {"（安装时需要作业系统安装光盘）", "（安裝時需要作業系統安裝光盤）"},
        {"（ExcelXP、Excel2003、Excel2007）", "（ExcelXP、Excel2003、Excel2007）"},
        {"Excel", "Excel"},
    };
    for (const auto& t : texts) {
        const std::string converted = GBToBig5(Gb(t.simplified));
        EXPECT_EQ(converted, Big5(t.traditional)) << t.traditional << " got "
                                                  << WideToAnsi(AnsiToWide(converted, 950), CP_UTF8);
        EXPECT_EQ(converted.size(), Gb(t.simplified).size()) << t.traditional;
    }
}

// The code page each run was started with: LC_ALL names the locale.
UINT ExpectedCodePage()
{
    const char* locale = std::getenv("LC_ALL");
    const std::string name = locale ? locale : "";
    if (name.rfind("zh_TW", 0) == 0) return 950;
    if (name.rfind("zh_CN", 0) == 0) return 936;
    return 1252;
}

TEST(LangStr, ConvertsOnlyOnABig5System)
{
    ASSERT_EQ(::GetACP(), ExpectedCodePage());
    const bool big5 = ExpectedCodePage() == 950;
    EXPECT_EQ(GetLangCode(), big5 ? "B" : "A");
    const std::string text = Gb("数据库软件未能正常启动，请检查原因！\r\n");
    EXPECT_EQ(LangStr(text), big5 ? Big5("數據庫軟件未能正常啟動，請檢查原因！\r\n") : text);
    EXPECT_EQ(LangStr(""), "");
}

}  // namespace
