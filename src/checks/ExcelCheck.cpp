#include "checks/ExcelCheck.h"

#include "ui/unGB2BIG5.h"
#include "ui/unMsgDialog.h"
#include "util/Automation.h"
#include "util/Errors.h"
#include "util/unReg_File.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace {

constexpr char kKorvanKey[] = "SoftWare\\Korvan";
constexpr char kShowLoginValue[] = "ShowLoginWhenOpenExcel";
constexpr long kOldestExcelVersion = 10;  // Excel XP

void Tell(const char* utf8Text)
{
    ShowInfo(Gb(utf8Text), false, Gb("提示"));
}

// Excel's version as an integer: a text such as "11.0" is read in the user's
// locale, a number is rounded.
long VersionNumber(const Variant& version)
{
    LONG number = 0;
    HRESULT hr;
    if (version.type() == VT_BSTR) {
        hr = ::VarI4FromStr(version.get().bstrVal, LOCALE_USER_DEFAULT, 0, &number);
    } else {
        Variant converted;
        hr = ::VariantChangeTypeEx(converted.put(), const_cast<VARIANT*>(&version.get()), LOCALE_USER_DEFAULT, 0, VT_I4);
        if (SUCCEEDED(hr)) number = converted.get().lVal;
    }
    if (FAILED(hr)) throw OleError(OleErrorText(hr), hr);
    return number;
}

}  // namespace

bool CheckExcel(const std::function<void()>& showCross)
{
    try {
        RegWriteStr(HKEY_LOCAL_MACHINE, kKorvanKey, kShowLoginValue, "0");
        const std::string savedUserValue = RegReadUserStr(kKorvanKey, kShowLoginValue);
        if (!savedUserValue.empty()) RegWriteUserStr(kKorvanKey, kShowLoginValue, "0");

        ComRef<IDispatch> excel = CreateOleObject("Excel.Application");
        if (VersionNumber(GetProperty(excel.get(), "Version")) < kOldestExcelVersion) {
            showCross();
            Tell("要求 Excel 的版本至少是 XP 以上！");
            return false;
        }
        CallProcedure(excel.get(), "quit");
        excel.reset();
        if (!savedUserValue.empty()) RegWriteUserStr(kKorvanKey, kShowLoginValue, savedUserValue);
        return true;
    } catch (const std::exception&) {
        showCross();
        Tell("没有检测到 Excel，继续安装本系统前，请先安装 Excel ！");
        return false;
    }
}
