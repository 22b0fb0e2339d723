// The base window under code pages 936, 950 and 1252: which texts the
// conversion reaches, the idle chain, and how forms close.
#include "ui/unFormBase.h"

#include "ui/FormTestSupport.h"
#include "ui/unGB2BIG5.h"

#include <gtest/gtest.h>

namespace {

using formtest::ExpectedCaption;
using formtest::InCodePage;
using formtest::RunLater;

class TNoteLabel : public TLabel {
public:
    using TLabel::TLabel;
};

// A window with a component of each kind the conversion must or must not reach.
class TConvertProbe : public TfrmFormBase {
public:
    TConvertProbe()
    {
        SetCaption(Gb("窗体标题"));
        panel = Add<TPanel>(this, this, "设置");
        labelInPanel = Add<TLabel>(this, panel, "标题");
        labelOwnedByPanel = Add<TLabel>(panel, this, "标题");
        derivedLabel = Add<TNoteLabel>(this, this, "说明");
        image = Add<TImage>(this, this, "图像");
        SymbolLine1->SetCaption(Gb("公司名称"));
    }
    TPanel* panel;
    TLabel* labelInPanel;
    TLabel* labelOwnedByPanel;
    TNoteLabel* derivedLabel;
    TImage* image;

private:
    template <typename Control>
    static Control* Add(TComponent* owner, TControl* parent, const char* utf8)
    {
        auto* control = new Control(owner);
        control->SetParent(parent);
        control->SetBounds(10, 10, 80, 20);
        control->SetCaption(Gb(utf8));
        return control;
    }
};

TEST(ConvertFormTexts, ReachesTheOwnedCaptionedControlsOnceAndNothingElse)
{
    const auto form = CreateForm<TConvertProbe>();
    EXPECT_EQ(form->IsBig5(), ::GetACP() == 950);
    EXPECT_EQ(form->Caption(), ExpectedCaption("窗体标题", "窗體標題"));
    EXPECT_EQ(form->panel->Caption(), ExpectedCaption("设置", "設置"));
    // Owned by the window although it lies on the panel.
    EXPECT_EQ(form->labelInPanel->Caption(), ExpectedCaption("标题", "標題"));
    EXPECT_EQ(form->derivedLabel->Caption(), ExpectedCaption("说明", "說明"));
    EXPECT_EQ(form->btnOK->Caption(), ExpectedCaption("确定", "確定"));
    EXPECT_EQ(form->btnCancel->Caption(), ExpectedCaption("取消", "取消"));
    // Owned by the panel, not a caption kind the walk covers, or the separator's own label.
    EXPECT_EQ(form->labelOwnedByPanel->Caption(), Gb("标题"));
    EXPECT_EQ(form->image->Caption(), Gb("图像"));
    EXPECT_EQ(form->SymbolLine1->Caption(), Gb("公司名称"));
    EXPECT_EQ(form->SymbolLine1->CaptionLabel()->Caption(), Gb("公司名称"));
    // The screen shows the bytes in the window's script.
    EXPECT_EQ(formtest::WindowText(form->labelInPanel->Handle()), ::GetACP() == 950 ? L"標題" : L"标题");
}

TEST(LangText, ConvertsOnlyOnALanguageBWindow)
{
    const auto form = CreateForm<TfrmFormBase>();
    EXPECT_EQ(form->LangText(Gb("录单助手")), ExpectedCaption("录单助手", "錄單助手"));
    EXPECT_EQ(form->LangText("Korvan"), "Korvan");
}

struct IdleMarker {
    void operator()(bool&) const {}
};

const TfrmFormBase* InstalledIdleForm()
{
    const auto* handler = Application().OnIdle.target<TfrmFormBase::IdleHandler>();
    return handler ? handler->form : nullptr;
}

TEST(IdleChain, ShowInstallsCancelRemovesCloseRestoresEachTime)
{
    Application().OnIdle = IdleMarker{};
    const auto form = CreateForm<TfrmFormBase>();
    for (int round = 0; round < 2; ++round) {
        form->Show();
        EXPECT_EQ(InstalledIdleForm(), form.get());
        form->btnCancel->Click();
        EXPECT_FALSE(Application().OnIdle);
        form->Close();
        EXPECT_NE(Application().OnIdle.target<IdleMarker>(), nullptr);
        EXPECT_FALSE(::IsWindowVisible(form->Handle()));
    }
}

TEST(IdleChain, AWindowDestroyedWithItsHandlerInstalledHandsBackThePreviousOne)
{
    Application().OnIdle = IdleMarker{};
    {
        const auto form = CreateForm<TfrmFormBase>();
        form->Show();
        EXPECT_EQ(InstalledIdleForm(), form.get());
    }
    EXPECT_NE(Application().OnIdle.target<IdleMarker>(), nullptr);
}

// Counts the close events of a base window.
class TCloseCounter : public TfrmFormBase {
public:
    void FormClose(TCloseAction& action) override
    {
        TfrmFormBase::FormClose(action);
        ++closes;
    }
    int closes = 0;
};

TEST(ModalForm, CloseBoxEscapeAndCloseEndItWithCancelAndOneCloseEvent)
{
    const auto form = CreateForm<TCloseCounter>();
    const std::vector<std::function<void()>> ways = {
        [&] { ::PostMessageW(form->Handle(), WM_CLOSE, 0, 0); },
        [&] { form->Close(); },
        // Esc through the dialog keyboard handling of the message loop.
        [&] {
            const HWND focus = ::GetFocus();
            ::PostMessageW(focus ? focus : form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        },
    };
    for (size_t i = 0; i < ways.size(); ++i) {
        RunLater(100, ways[i]);
        EXPECT_EQ(form->ShowModal(), mrCancel) << "way " << i;
        EXPECT_EQ(form->closes, static_cast<int>(i + 1));
        EXPECT_FALSE(::IsWindowVisible(form->Handle()));
    }
}

TEST(ModalForm, OtherWindowsAreDisabledWhileItIsShown)
{
    const auto owner = CreateForm<TfrmFormBase>();
    owner->Show();
    const auto dialog = CreateForm<TfrmFormBase>();
    bool ownerEnabledDuring = true;
    RunLater(100, [&] {
        ownerEnabledDuring = ::IsWindowEnabled(owner->Handle()) != FALSE;
        dialog->SetModalResult(mrOK);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOK);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(::IsWindowEnabled(owner->Handle()));
}

TEST(MainForm, CloseAsksTheApplicationToEndAndKeepsTheWindow)
{
    const auto form = CreateForm<TfrmFormBase>();
    form->Show();
    Application().SetMainWindow(form->Handle());
    form->Close();
    MSG quit;
    // Taken out of the queue again, so that the application goes on for the other tests.
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    Application().SetMainWindow(nullptr);
}

TEST(Components, OwnedComponentsAreListedInCreationOrderAndGoWithTheirOwner)
{
    const auto form = CreateForm<TConvertProbe>();
    ASSERT_EQ(form->ComponentCount(), 7);  // the panel owns the eighth
    EXPECT_EQ(form->Components(0), form->btnOK);
    EXPECT_EQ(form->Components(1), form->btnCancel);
    EXPECT_EQ(form->Components(2), form->SymbolLine1);
    EXPECT_EQ(form->Components(3), form->panel);
    EXPECT_EQ(form->Components(4), form->labelInPanel);
    EXPECT_EQ(form->Components(6), form->image);
    EXPECT_EQ(form->panel->ComponentCount(), 1);
    const HWND label = form->labelInPanel->Handle();
    delete form->labelInPanel;
    EXPECT_EQ(form->ComponentCount(), 6);
    EXPECT_FALSE(::IsWindow(label));
}

}  // namespace
