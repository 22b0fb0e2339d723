#include "ui/SymbolLine.h"

TSymbolLine::TSymbolLine(TComponent* owner) : TControl(owner)
{
    SetCaption("Korvan");
    label_ = new TLabel(this);
    label_->SetEnabled(false);
    label_->SetParent(this);
    label_->SetAutoSize(true);
    label_->SetCaption(Caption());
}

TSymbolLine::~TSymbolLine()
{
    delete label_;
}

TControl::CreateParams TSymbolLine::GetCreateParams() const
{
    CreateParams params;
    params.style = WS_CLIPCHILDREN;
    return params;
}

void TSymbolLine::SetCaption(const std::string& caption)
{
    TControl::SetCaption(caption);
    if (label_) label_->SetCaption(caption);
}

void TSymbolLine::Paint(HDC dc)
{
    // The position follows the parent; a change moves the window, and Windows
    // paints it again.
    if (Parent()) {
        const int width = Parent()->Width() - 30;
        if (Left() != 10 || Width() != width) SetBounds(10, Top(), width, Height());
    }
    label_->SetEnabled(labEnable_);
    label_->SetCaption(Caption());

    // Measured in the font a fresh device context starts with (the stock
    // system font): nothing is selected into the paint DC before this. The
    // caption itself is drawn by the label in the form's font.
    const std::wstring text = ScreenCaption();
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int start = space_ + extent.cx;
    const int y = extent.cy / 2;

    GdiObject dark(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    SelectObjectScope darkPen(dc, dark.get());
    ::MoveToEx(dc, start, y, nullptr);
    ::LineTo(dc, Width(), y);
    if (thinLine_) return;
    GdiObject light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
    SelectObjectScope lightPen(dc, light.get());
    ::MoveToEx(dc, start, y + 1, nullptr);
    ::LineTo(dc, Width(), y + 1);
}
