#pragma once
// The launcher's main window: the install types as radio buttons, an install
// button for each, and the close button.

#include "ui/unFormBase.h"

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

private:
    void LoadProductInfo();
};
