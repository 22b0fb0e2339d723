#include "checks/unCheckCondition.h"

#include "checks/DatabaseCheck.h"
#include "checks/ExcelCheck.h"
#include "checks/WebServerCheck.h"

#include "ui/unGB2BIG5.h"

namespace {

TLabel* RowLabel(TfrmCheckCondition* form, int left, int top, const char* utf8Caption)
{
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(left, top, 0, 12);
    label->SetCaption(Gb(utf8Caption));
    return label;
}

TImage* RowImage(TfrmCheckCondition* form, int top, const wchar_t* picture)
{
    auto* image = new TImage(form);
    image->SetVisible(false);
    image->SetParent(form);
    image->SetBounds(40, top, 25, 25);
    image->SetTransparent(true);
    image->LoadBitmapResource(picture);
    return image;
}

}  // namespace

TfrmCheckCondition::TfrmCheckCondition()
{
    SetCaption(Gb("安装条件检测"));
    SetClientSize(496, 218);

    labDB1 = RowLabel(this, 96, 30, "数据库软件");
    labDB2 = RowLabel(this, 96, 46, "（MSSQL2000、MSDE2000、MSSQL2005、MSSQL2005 Express Edition）");
    labIIS1 = RowLabel(this, 96, 78, "IIS（Internet 信息服务）");
    labIIS2 = RowLabel(this, 96, 94, "（安装时需要操作系统安装光盘）");
    labExcel1 = RowLabel(this, 96, 126, "Excel");
    labExcel2 = RowLabel(this, 96, 142, "（ExcelXP、Excel2003、Excel2007）");
    imgDB = RowImage(this, 32, L"TICK");
    imgIIS = RowImage(this, 80, L"TICK");
    imgExcel = RowImage(this, 128, L"TICK");
    Timer1 = new TTimer(this);
    Timer1->OnTimer = [this] { Timer1Timer(); };
    imgDB_NO = RowImage(this, 32, L"CROSS");
    imgIIS_NO = RowImage(this, 80, L"CROSS");
    imgExcel_NO = RowImage(this, 128, L"CROSS");

    btnOK->SetBounds(282, 179, 75, 22);
    btnOK->SetVisible(false);
    btnCancel->SetBounds(370, 179, 75, 22);
    btnCancel->SetVisible(false);
    SymbolLine1->SetBounds(10, 184, 474, 15);
}

void TfrmCheckCondition::SetTraditionalTexts()
{
    TfrmFormBase::SetTraditionalTexts();
    SetCaption(Gb("安装条件检测"));
    labDB1->SetCaption(Gb("资料库软件"));
    labDB2->SetCaption(Gb("（MSSQL2000、MSDE2000、MSSQL2005、MSSQL2005 Express Edition）"));
    labIIS1->SetCaption(Gb("IIS（Internet 信息服务）"));
    labIIS2->SetCaption(Gb("（安装时需要作业系统安装光盘）"));
    labExcel2->SetCaption(Gb("（ExcelXP、Excel2003、Excel2007）"));
}

TfrmCheckCondition::Checks& TfrmCheckCondition::CheckFunctions()
{
    static Checks checks{
        [](bool afterInstall, const ShowCross& showCross) { return ::CheckDatabase(afterInstall, showCross); },
        [](const ShowCross& showCross) { return ::CheckIIS(showCross); },
        [](const ShowCross& showCross) { return ::CheckExcel(showCross); },
    };
    return checks;
}

TfrmCheckCondition::ShowCross TfrmCheckCondition::ShowCrossOf(TImage* cross)
{
    return [cross] {
        cross->SetVisible(true);
        cross->Update();
    };
}

bool TfrmCheckCondition::CheckDatabase(bool afterInstall)
{
    return CheckFunctions().database(afterInstall, ShowCrossOf(imgDB_NO));
}

bool TfrmCheckCondition::CheckIIS()
{
    return CheckFunctions().webServer(ShowCrossOf(imgIIS_NO));
}

bool TfrmCheckCondition::CheckExcel()
{
    return CheckFunctions().excel(ShowCrossOf(imgExcel_NO));
}

bool TfrmCheckCondition::RunRow(TLabel* rowLabel, TImage* tick, TImage* cross, const std::function<bool()>& check)
{
    if (!rowLabel->Enabled()) return true;
    tick->SetVisible(check());
    cross->SetVisible(!tick->Visible());
    // The sequence holds the thread: paint the row's mark before going on.
    tick->Update();
    cross->Update();
    if (tick->Visible()) return true;
    Close();
    return false;
}

void TfrmCheckCondition::Timer1Timer()
{
    // Off first: the checks' own message loops must not start the sequence again.
    Timer1->SetEnabled(false);
    if (!RunRow(labDB1, imgDB, imgDB_NO, [this] { return CheckDatabase(false); })) return;
    if (!RunRow(labIIS1, imgIIS, imgIIS_NO, [this] { return CheckIIS(); })) return;
    if (!RunRow(labExcel1, imgExcel, imgExcel_NO, [this] { return CheckExcel(); })) return;
    // Let the user see the ticks before the dialog goes.
    ::Sleep(500);
    SetModalResult(mrOK);
}

void TfrmCheckCondition::btnOKClick()
{
    TfrmFormBase::btnOKClick();
    SetModalResult(mrOK);
}

void TfrmCheckCondition::btnCancelClick()
{
    TfrmFormBase::btnCancelClick();
    Close();
}

bool CheckConditions(int kind)
{
    const auto dialog = CreateForm<TfrmCheckCondition>();
    dialog->labDB1->SetEnabled(kind >= 1 && kind <= 3);
    dialog->labDB2->SetEnabled(dialog->labDB1->Enabled());
    dialog->labIIS1->SetEnabled(kind == 1 || kind == 2 || kind == 4);
    dialog->labIIS2->SetEnabled(dialog->labIIS1->Enabled());
    dialog->labExcel1->SetEnabled(kind == 1 || kind == 5);
    dialog->labExcel2->SetEnabled(dialog->labExcel1->Enabled());
    dialog->Timer1->SetEnabled(true);
    dialog->SymbolLine1->SetCaption("");
    return dialog->ShowModal() == mrOK;
}
