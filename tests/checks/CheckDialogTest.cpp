// The check dialog: rows per install kind, closing before the checks, and the
// check sequence with scripted checks.
#include "checks/unCheckCondition.h"

#include "ui/FormTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TfrmCheckCondition* OpenDialog()
{
    for (TForm* form : TForm::Forms())
        if (auto* dialog = dynamic_cast<TfrmCheckCondition*>(form)) return dialog;
    return nullptr;
}

// The control's own visibility, whether or not its window is shown.
bool Shows(const TControl* control)
{
    return (::GetWindowLongPtrW(control->Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Active(const TLabel* label)
{
    return ::IsWindowEnabled(label->Handle()) != FALSE;
}

// Scripted checks: each records its run and answers as told.
class ScriptedChecks {
public:
    ScriptedChecks() : saved_(TfrmCheckCondition::CheckFunctions())
    {
        auto& checks = TfrmCheckCondition::CheckFunctions();
        checks.database = [this](bool afterInstall, const TfrmCheckCondition::ShowCross& showCross) {
            EXPECT_FALSE(afterInstall);
            return Run("db", showCross);
        };
        checks.webServer = [this](const TfrmCheckCondition::ShowCross& showCross) { return Run("iis", showCross); };
        checks.excel = [this](const TfrmCheckCondition::ShowCross& showCross) { return Run("excel", showCross); };
    }
    ~ScriptedChecks() { TfrmCheckCondition::CheckFunctions() = saved_; }

    std::string runs;                   // "db iis excel " in the order run
    std::string failing;                // the check that answers false
    std::string crossThenPass;          // the check that shows its cross and then passes

private:
    bool Run(const std::string& name, const TfrmCheckCondition::ShowCross& showCross)
    {
        runs += name + " ";
        if (name == crossThenPass || name == failing) showCross();
        return name != failing;
    }
    TfrmCheckCondition::Checks saved_;
};

struct RowsSeen {
    bool captured = false;
    bool db1 = false, db2 = false, iis1 = false, iis2 = false, excel1 = false, excel2 = false;
    bool buttonsShown = true, timerOn = false, anyImage = true;
    std::string separatorCaption = "?";
};

// Opens the dialog for a kind and notes its rows before the timer fires.
bool CheckConditionsSeeing(int kind, RowsSeen& seen)
{
    formtest::RunLater(300, [&] {
        const TfrmCheckCondition* d = OpenDialog();
        if (!d) return;
        seen.captured = true;
        seen.db1 = Active(d->labDB1);
        seen.db2 = Active(d->labDB2);
        seen.iis1 = Active(d->labIIS1);
        seen.iis2 = Active(d->labIIS2);
        seen.excel1 = Active(d->labExcel1);
        seen.excel2 = Active(d->labExcel2);
        seen.buttonsShown = Shows(d->btnOK) || Shows(d->btnCancel);
        seen.timerOn = d->Timer1->Enabled();
        seen.anyImage = false;
        for (const TImage* image : {d->imgDB, d->imgIIS, d->imgExcel, d->imgDB_NO, d->imgIIS_NO, d->imgExcel_NO})
            seen.anyImage = seen.anyImage || Shows(image);
        seen.separatorCaption = d->SymbolLine1->Caption();
    });
    return CheckConditions(kind);
}

TEST(CheckConditions, EachKindActivatesItsRowsAndRunsTheirChecksInOrder)
{
    struct Case {
        int kind;
        bool db, iis, excel;
        const char* runs;
    };
    const Case cases[] = {
        {ikAll, true, true, true, "db iis excel "},
        {ikServer, true, true, false, "db iis "},
        {ikMiddleware, true, false, false, "db "},
        {ikWeb, false, true, false, "iis "},
        {ikClient, false, false, true, "excel "},
        // Any other value: every row greyed, nothing checked, and OK.
        {0, false, false, false, ""},
        {6, false, false, false, ""},
        {-1, false, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind);
        ScriptedChecks checks;
        RowsSeen seen;
        EXPECT_TRUE(CheckConditionsSeeing(c.kind, seen));
        ASSERT_TRUE(seen.captured);
        EXPECT_EQ(seen.db1, c.db);
        EXPECT_EQ(seen.db2, c.db);
        EXPECT_EQ(seen.iis1, c.iis);
        EXPECT_EQ(seen.iis2, c.iis);
        EXPECT_EQ(seen.excel1, c.excel);
        EXPECT_EQ(seen.excel2, c.excel);
        EXPECT_FALSE(seen.buttonsShown);
        EXPECT_TRUE(seen.timerOn);
        EXPECT_FALSE(seen.anyImage);
        EXPECT_EQ(seen.separatorCaption, "");
        EXPECT_EQ(checks.runs, c.runs);
        EXPECT_EQ(OpenDialog(), nullptr);  // destroyed on return
    }
}

TEST(CheckConditions, ClosingTheDialogBeforeTheTimerGivesFalseWithoutChecks)
{
    ScriptedChecks checks;
    formtest::RunLater(300, [] {
        if (TfrmCheckCondition* dialog = OpenDialog()) ::PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(CheckConditions(ikAll));
    EXPECT_EQ(checks.runs, "");
    EXPECT_EQ(OpenDialog(), nullptr);
}

TEST(CheckConditions, AFailedCheckEndsTheDialogWithFalse)
{
    ScriptedChecks checks;
    checks.failing = "iis";
    EXPECT_FALSE(CheckConditions(ikAll));
    EXPECT_EQ(checks.runs, "db iis ");
}

// The sequence itself, run on a shown dialog so that its images can be seen
// afterwards.
TEST(CheckSequence, MarksEachActiveRowAndStopsAtTheFirstFailure)
{
    struct Case {
        const char* name;
        const char* failing;
        const char* crossThenPass;
        const char* runs;
        // Shown afterwards: ticks and crosses of the rows db, iis, excel.
        bool tick[3];
        bool cross[3];
        bool endsWithOk;
    };
    const Case cases[] = {
        {"all pass", "", "", "db iis excel ", {true, true, true}, {false, false, false}, true},
        {"database fails", "db", "", "db ", {false, false, false}, {true, false, false}, false},
        {"excel fails last", "excel", "", "db iis excel ", {true, true, false}, {false, false, true}, false},
        {"cross shown, then passed", "", "db", "db iis excel ", {true, true, true}, {false, false, false}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedChecks checks;
        checks.failing = c.failing;
        checks.crossThenPass = c.crossThenPass;
        const auto dialog = CreateForm<TfrmCheckCondition>();
        TfrmCheckCondition& d = *dialog;
        d.Timer1->SetEnabled(true);
        d.Show();
        d.Timer1Timer();
        EXPECT_FALSE(d.Timer1->Enabled());
        EXPECT_EQ(checks.runs, c.runs);
        const TImage* ticks[] = {d.imgDB, d.imgIIS, d.imgExcel};
        const TImage* crosses[] = {d.imgDB_NO, d.imgIIS_NO, d.imgExcel_NO};
        for (int row = 0; row < 3; ++row) {
            SCOPED_TRACE(row);
            EXPECT_EQ(Shows(ticks[row]), c.tick[row]);
            EXPECT_EQ(Shows(crosses[row]), c.cross[row]);
        }
        EXPECT_EQ(d.ModalResult() == mrOK, c.endsWithOk);
        // A failure closes the dialog.
        EXPECT_EQ(::IsWindowVisible(d.Handle()) != FALSE, c.endsWithOk);
    }
}

TEST(CheckSequence, ACheckShowsItsCrossAtOnceOnScreen)
{
    ScriptedChecks checks;
    checks.failing = "db";
    const auto dialog = CreateForm<TfrmCheckCondition>();
    dialog->Show();
    formtest::PumpPending();
    bool crossOnScreen = false;
    TfrmCheckCondition::CheckFunctions().database = [&](bool, const TfrmCheckCondition::ShowCross& showCross) {
        showCross();
        // Painted without a message loop: the cross's red is in the capture.
        const formtest::Capture shot(dialog->imgDB_NO->Handle());
        for (int y = 0; y < 24 && !crossOnScreen; ++y)
            for (int x = 0; x < 24 && !crossOnScreen; ++x)
                crossOnScreen = GetRValue(shot.At(x, y)) > 200 && GetGValue(shot.At(x, y)) < 80 &&
                                GetBValue(shot.At(x, y)) < 80;
        return false;
    };
    dialog->Timer1Timer();
    EXPECT_TRUE(crossOnScreen);
}

}  // namespace
