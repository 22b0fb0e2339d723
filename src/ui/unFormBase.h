#pragma once
// The base window of the launcher: OK and Cancel buttons, the separator line,
// the language decision with the conversion of the window's texts to
// Traditional Chinese, and the idle handler chained across the windows.

#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/SymbolLine.h"

#include <string>
#include <string_view>

class TfrmFormBase : public TForm {
public:
    TfrmFormBase();
    ~TfrmFormBase() override;

    TPushButton* btnOK;
    TPushButton* btnCancel;
    TSymbolLine* SymbolLine1;

    // True exactly when the window's language code is "B".
    bool IsBig5() const;
    // GBToBig5(text) on a language-"B" window, text unchanged otherwise.
    std::string LangText(std::string_view text) const;
    // Converts the caption and the captions of the directly owned labels,
    // push buttons, radio buttons and panels to BIG5 on a language-"B" window.
    void ConvertFormTexts();
    std::string FormLangCode() const override;

    // The window's idle handler; does nothing and leaves done as it is.
    virtual void DoAppIdle(bool& done);
    // Puts the GB2312 texts of the Traditional interface on the controls.
    // Overrides call this first.
    virtual void SetTraditionalTexts();

    // Event handlers. A derived window's handler of the same name calls these first.
    virtual void FormCreate();
    virtual void FormShow();
    virtual void FormClose(TCloseAction& action);
    virtual void btnOKClick();
    virtual void btnCancelClick();

    // The idle handler a window installs: its DoAppIdle. Tells a window's
    // handler apart from any other in the application's idle event.
    struct IdleHandler {
        TfrmFormBase* form;
        void operator()(bool& done) const { form->DoAppIdle(done); }
    };

protected:
    TApplication::IdleEvent FOldOnIdle;
    std::string FLangCode;
};
