#pragma once
// The check dialog: one row per prerequisite (database, web server, Excel),
// the rows of the install kind active, the checks run one second after it
// opens, each row marked with a tick or a cross.

#include "ui/unFormBase.h"

#include <functional>

// Install kinds: which install action asks for the checks.
enum TInstallKind { ikAll = 1, ikServer = 2, ikMiddleware = 3, ikWeb = 4, ikClient = 5 };

class TfrmCheckCondition : public TfrmFormBase {
public:
    TfrmCheckCondition();

    TLabel* labDB1;
    TLabel* labDB2;
    TLabel* labIIS1;
    TLabel* labIIS2;
    TLabel* labExcel1;
    TLabel* labExcel2;
    TImage* imgDB;
    TImage* imgIIS;
    TImage* imgExcel;
    TTimer* Timer1;
    TImage* imgDB_NO;
    TImage* imgIIS_NO;
    TImage* imgExcel_NO;

    void SetTraditionalTexts() override;

    // The check sequence: the active rows' checks in order, each row marked,
    // the dialog closed at the first failure or ended with OK.
    void Timer1Timer();
    void btnOKClick() override;
    void btnCancelClick() override;

    // The three checks behind the rows. Each gets a step that shows its row's
    // cross at once, returns true when the prerequisite is met, and tells the
    // user about a failure itself. Replaceable, so that the dialog can be
    // driven without the machine's services.
    using ShowCross = std::function<void()>;
    struct Checks {
        std::function<bool(bool afterInstall, const ShowCross& showCross)> database;
        std::function<bool(const ShowCross& showCross)> webServer;
        std::function<bool(const ShowCross& showCross)> excel;
    };
    static Checks& CheckFunctions();

private:
    bool CheckDatabase(bool afterInstall);
    bool CheckIIS();
    bool CheckExcel();
    // Runs one row's check when the row is active; false when it failed (the
    // dialog is then closed).
    bool RunRow(TLabel* rowLabel, TImage* tick, TImage* cross, const std::function<bool()>& check);
    ShowCross ShowCrossOf(TImage* cross);
};

// Shows the check dialog for an install kind until its checks end; true when
// all active checks passed.
bool CheckConditions(int kind);
