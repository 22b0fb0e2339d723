// The main setup window: layout, initial state, the radio rule, closing, and
// the idle chain across the check dialog.
#include "launcher/unSetupMain.h"

#include "checks/unCheckCondition.h"
#include "ui/FormTestSupport.h"

#include <gtest/gtest.h>

namespace {

using formtest::PlacedRect;

class SetupMain : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = CreateForm<TfrmSetupMain>();
        form->Show();
        formtest::PumpPending();
    }
    std::unique_ptr<TfrmSetupMain> form;
};

// The text extent of a label's caption in the window's font.
SIZE TextExtent(const TControl& label)
{
    WindowDc screen(nullptr);
    SelectObjectScope font(screen.get(), label.Font());
    const std::wstring text = label.ScreenCaption();
    RECT rect{};
    ::DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
    return {rect.right, rect.bottom};
}

TEST_F(SetupMain, EveryControlSitsWhereTheLayoutPutsIt)
{
    struct Row {
        const char* name;
        TControl* control;
        int left, top, width, height;
    };
    TfrmSetupMain& f = *form;
    const Row rows[] = {
        {"Image1", f.Image1, 0, 0, 585, 69},
        {"Shape1", f.Shape1, 0, 68, 587, 1},
        {"Label1", f.Label1, 14, 82, 96, 12},
        {"radAll", f.radAll, 37, 105, 452, 16},
        {"btnAll", f.btnAll, 493, 105, 75, 41},
        {"Label5", f.Label5, 61, 129, 276, 12},
        {"radServer", f.radServer, 37, 164, 129, 17},
        {"btnServer", f.btnServer, 181, 164, 75, 41},
        {"Label6", f.Label6, 61, 188, 108, 12},
        {"radServers", f.radServers, 37, 221, 129, 17},
        {"btnServer1", f.btnServer1, 181, 240, 75, 25},
        {"Label7", f.Label7, 61, 248, 114, 12},
        {"btnServer2", f.btnServer2, 181, 272, 75, 25},
        {"Label8", f.Label8, 61, 276, 102, 12},
        {"radClient", f.radClient, 37, 310, 236, 17},
        {"btnClient", f.btnClient, 277, 305, 75, 25},
        {"Label9", f.Label9, 61, 336, 372, 12},
        {"Label3", f.Label3, 61, 351, 204, 12},
        {"SymbolLine1", f.SymbolLine1, 10, 372, 563, 15},
        {"btnOK", f.btnOK, 291, 397, 75, 22},
        {"btnCancel", f.btnCancel, 435, 397, 75, 22},
    };
    EXPECT_EQ(f.ClientWidth(), 585);
    EXPECT_EQ(f.ClientHeight(), 436);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const RECT placed = PlacedRect(row.control->Handle());
        EXPECT_EQ(placed.left, row.left);
        EXPECT_EQ(placed.top, row.top);
        int width = row.width, height = row.height;
        if (dynamic_cast<TLabel*>(row.control)) {
            // Labels take the size of their text in the window's font; the
            // table's sizes are those of 宋体.
            const SIZE text = TextExtent(*row.control);
            width = text.cx;
            height = text.cy;
        } else if (row.control == f.SymbolLine1) {
            // The separator line spans the window less 30 pixels once painted.
            width = f.Width() - 30;
        }
        EXPECT_EQ(placed.right - placed.left, width);
        EXPECT_EQ(placed.bottom - placed.top, height);
    }
}

TEST_F(SetupMain, TabOrderFollowsTheLayout)
{
    TfrmSetupMain& f = *form;
    const std::vector<TControl*> expected = {f.btnOK,  f.btnCancel, f.SymbolLine1, f.btnAll,     f.btnServer, f.btnServer1,
                                             f.btnServer2, f.radAll, f.radServer, f.radServers, f.radClient, f.btnClient};
    HWND child = ::GetWindow(f.Handle(), GW_CHILD);
    for (TControl* control : expected) {
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(TControl::FromHandle(child), control);
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
}

bool Checked(const TRadioButton* radio)
{
    return ::SendMessageW(radio->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(const TControl* control)
{
    return ::IsWindowEnabled(control->Handle()) != FALSE;
}

TEST_F(SetupMain, StartsWithTheFullInstallChosenAndOnlyItsButtonEnabled)
{
    TfrmSetupMain& f = *form;
    EXPECT_TRUE(Checked(f.radAll));
    EXPECT_FALSE(Checked(f.radServer) || Checked(f.radServers) || Checked(f.radClient));
    EXPECT_TRUE(Enabled(f.btnAll));
    for (TControl* button : {f.btnServer, f.btnServer1, f.btnServer2, f.btnClient}) EXPECT_FALSE(Enabled(button));
    EXPECT_FALSE(::IsWindowVisible(f.btnOK->Handle()));
    EXPECT_TRUE(::IsWindowVisible(f.btnCancel->Handle()));
    EXPECT_TRUE(Enabled(f.btnCancel));
}

TEST_F(SetupMain, ARadioButtonEnablesTheInstallButtonsOfItsTypeOnly)
{
    TfrmSetupMain& f = *form;
    struct Case {
        TRadioButton* radio;
        bool all, server, server1, server2, client;
    };
    const Case cases[] = {
        {f.radServers, false, false, true, true, false},
        {f.radClient, false, false, false, false, true},
        {f.radServer, false, true, false, false, false},
        {f.radAll, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(formtest::WindowText(c.radio->Handle()));
        // A click as the user makes it.
        ::SendMessageW(c.radio->Handle(), BM_CLICK, 0, 0);
        for (TRadioButton* radio : {f.radAll, f.radServer, f.radServers, f.radClient})
            EXPECT_EQ(Checked(radio), radio == c.radio);
        EXPECT_EQ(Enabled(f.btnAll), c.all);
        EXPECT_EQ(Enabled(f.btnServer), c.server);
        EXPECT_EQ(Enabled(f.btnServer1), c.server1);
        EXPECT_EQ(Enabled(f.btnServer2), c.server2);
        EXPECT_EQ(Enabled(f.btnClient), c.client);
    }
}

TEST_F(SetupMain, TheCloseButtonEndsTheApplication)
{
    Application().SetMainWindow(form->Handle());
    ::SendMessageW(form->btnCancel->Handle(), BM_CLICK, 0, 0);
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    Application().SetMainWindow(nullptr);
}

struct IdleMarker {
    void operator()(bool&) const {}
};

const TfrmFormBase* InstalledIdleForm()
{
    const auto* handler = Application().OnIdle.target<TfrmFormBase::IdleHandler>();
    return handler ? handler->form : nullptr;
}

TEST(IdleChain, MainWindowThenDialogThenOkThenCloseBringsEachHandlerBack)
{
    Application().OnIdle = IdleMarker{};
    const auto main = CreateForm<TfrmSetupMain>();
    Application().SetMainWindow(main->Handle());
    main->Show();
    EXPECT_EQ(InstalledIdleForm(), main.get());

    const auto dialog = CreateForm<TfrmCheckCondition>();
    const TfrmFormBase* whileShown = nullptr;
    bool removedByOk = false;
    formtest::RunLater(100, [&] {
        whileShown = InstalledIdleForm();
        dialog->btnOK->Click();
        removedByOk = !Application().OnIdle;
    });
    EXPECT_EQ(dialog->ShowModal(), mrOK);
    EXPECT_EQ(whileShown, dialog.get());
    EXPECT_TRUE(removedByOk);
    EXPECT_EQ(InstalledIdleForm(), main.get());

    main->Close();
    EXPECT_NE(Application().OnIdle.target<IdleMarker>(), nullptr);
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
