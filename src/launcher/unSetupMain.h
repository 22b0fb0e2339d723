#pragma once
// The launcher's main window: the install types as radio buttons, an install
// button for each, and the close button.

#include "ui/unFormBase.h"

#include <string>
#include <string_view>

class TfrmSetupMain : public TfrmFormBase {
public:
    TfrmSetupMain();

    TPushButton* btnAll;
    TPushButton* btnServer;
    TPushButton* btnServer1;
    TLabel* Label5;
    TLabel* Label6;
    TLabel* Label7;
    TLabel* Label8;
    TPushButton* btnServer2;
    TLabel* Label9;
    TRadioButton* radAll;
    TRadioButton* radServer;
    TRadioButton* radServers;
    TRadioButton* radClient;
    TLabel* Label1;
    TImage* Image1;
    TShape* Shape1;
    TPushButton* btnClient;
    TLabel* Label3;

    void SetTraditionalTexts() override;

    void btnCancelClick() override;
    void FormShow() override;
    // Enables the install buttons of the checked install type.
    void radAllClick();
    void btnServer1Click();
    void btnServer2Click();
    void btnServerClick();
    void btnAllClick();
    void btnClientClick();

    // Starts a program through the shell and waits for it to end while the
    // windows stay live; false when the shell could not start it.
    bool RunAndWait(const std::string& fileName, const std::string& parameters, int showCmd);

private:
    // Title, company caption, banner and add-in name from bin\Brand.dat.
    void LoadProductInfo();
    // The middleware install folder left by the middleware installer; resets
    // ALLSetup to "0" first.
    std::string ReadComPartPath();
};

// Places the stored copy of the data-access runtime (bin\rtm.e__) in the
// system directory as midas.dll and has it registered. Throws when the stored
// copy cannot be read; a copy that cannot be written is passed over.
void DeployDataRuntime();

// Tells the user that a file is missing or unreadable and asks the
// application to end (effective back in the message loop).
void FatalMissingFile(std::string_view detail);
