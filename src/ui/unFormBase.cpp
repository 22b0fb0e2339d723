#include "ui/unFormBase.h"

#include "ui/unGB2BIG5.h"

TfrmFormBase::TfrmFormBase()
{
    SetCaption("frmFormBase");
    SetFont(L"宋体", -12);
    SetBounds(237, 108, Width(), Height());
    SetClientSize(513, 359);
    SetPosition(TPosition::poMainFormCenter);

    btnOK = new TPushButton(this);
    btnOK->SetParent(this);
    btnOK->SetBounds(299, 320, 75, 22);
    btnOK->SetCaption(Gb("确定"));
    btnOK->SetDefault(true);
    btnOK->SetTabOrder(0);
    btnOK->OnClick = [this] { btnOKClick(); };

    btnCancel = new TPushButton(this);
    btnCancel->SetParent(this);
    btnCancel->SetBounds(387, 320, 75, 22);
    btnCancel->SetCaption(Gb("取消"));
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetTabOrder(1);
    btnCancel->OnClick = [this] { btnCancelClick(); };

    SymbolLine1 = new TSymbolLine(this);
    SymbolLine1->SetParent(this);
    SymbolLine1->SetBounds(10, 296, 491, 15);
    SymbolLine1->SetTabOrder(2);

    OnCreate = [this] { FormCreate(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };
}

TfrmFormBase::~TfrmFormBase()
{
    // A window destroyed while its idle handler is installed (the application
    // ended its modal loop) hands back the one it replaced.
    if (const auto* handler = Application().OnIdle.target<IdleHandler>(); handler && handler->form == this)
        Application().OnIdle = FOldOnIdle;
}

bool TfrmFormBase::IsBig5() const
{
    return FLangCode == "B";
}

std::string TfrmFormBase::LangText(std::string_view text) const
{
    return IsBig5() ? GBToBig5(text) : std::string(text);
}

std::string TfrmFormBase::FormLangCode() const
{
    return FLangCode.empty() ? "A" : FLangCode;
}

void TfrmFormBase::FormCreate()
{
    FLangCode = GetLangCode();
    if (IsBig5()) SetTraditionalTexts();
    ConvertFormTexts();
}

void TfrmFormBase::SetTraditionalTexts()
{
    btnOK->SetCaption(Gb("确定"));
    btnCancel->SetCaption(Gb("取消"));
}

namespace {

// The components whose caption the conversion covers.
TControl* CaptionedControl(TComponent* component)
{
    if (auto* label = dynamic_cast<TLabel*>(component)) return label;
    if (auto* button = dynamic_cast<TPushButton*>(component)) return button;
    if (auto* radio = dynamic_cast<TRadioButton*>(component)) return radio;
    if (auto* panel = dynamic_cast<TPanel*>(component)) return panel;
    return nullptr;
}

}  // namespace

void TfrmFormBase::ConvertFormTexts()
{
    if (!IsBig5()) return;
    SetCaption(GBToBig5(Caption()));
    // Only what the window owns itself: the separator's own label belongs to
    // the separator and is not converted.
    const int count = ComponentCount();
    for (int i = 0; i < count; ++i)
        if (TControl* control = CaptionedControl(Components(i)))
            control->SetCaption(GBToBig5(control->Caption()));
}

void TfrmFormBase::DoAppIdle(bool& /*done*/) {}

void TfrmFormBase::FormShow()
{
    FOldOnIdle = Application().OnIdle;
    Application().OnIdle = IdleHandler{this};
}

void TfrmFormBase::FormClose(TCloseAction& /*action*/)
{
    Application().OnIdle = FOldOnIdle;
}

void TfrmFormBase::btnOKClick()
{
    Application().OnIdle = nullptr;
}

void TfrmFormBase::btnCancelClick()
{
    Application().OnIdle = nullptr;
}
