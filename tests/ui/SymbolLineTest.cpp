// The separator line as the screen shows it, checked pixel by pixel in a
// capture of the control.
#include "ui/SymbolLine.h"

#include "ui/FormTestSupport.h"
#include "ui/unFormBase.h"

#include <gtest/gtest.h>

namespace {

using formtest::Capture;

// The caption's extent in the font a fresh DC of the control starts with.
SIZE DefaultFontExtent(const TSymbolLine& line)
{
    WindowDc dc(line.Handle());
    const std::wstring text = line.ScreenCaption();
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

// Paints the line until its position has settled.
void Repaint(TControl& control)
{
    for (int i = 0; i < 3; ++i) {
        control.Invalidate();
        control.Update();
        formtest::PumpPending();
    }
}

class SymbolLinePaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = CreateForm<TfrmFormBase>();
        line = form->SymbolLine1;
        line->SetBounds(50, 100, 120, 15);
        form->Show();
        Repaint(*line);
    }
    std::unique_ptr<TfrmFormBase> form;
    TSymbolLine* line = nullptr;
};

TEST_F(SymbolLinePaint, TakesLeft10AndTheParentsWidthLess30)
{
    EXPECT_EQ(line->Left(), 10);
    EXPECT_EQ(line->Width(), form->Width() - 30);
    EXPECT_EQ(line->Top(), 100);
    const RECT placed = formtest::PlacedRect(line->Handle());
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.right - placed.left, form->Width() - 30);
}

TEST_F(SymbolLinePaint, DrawsTheDarkAndTheLightLineFromSpacePlusCaptionWidth)
{
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF background = ::GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(dark, background);
    ASSERT_NE(light, background);

    struct Case {
        const char* caption;
        int space;
        bool thinLine;
    };
    for (const Case c : {Case{"Korvan", 0, false}, Case{"Korvan", 8, false}, Case{"Korvan", 40, true},
                         Case{"", 20, false}}) {
        SCOPED_TRACE(testing::Message() << '"' << c.caption << "\" space " << c.space << " thin " << c.thinLine);
        line->SetCaption(c.caption);
        line->SetSpace(c.space);
        line->SetThinLine(c.thinLine);
        Repaint(*line);
        const SIZE extent = DefaultFontExtent(*line);
        const int start = c.space + extent.cx;
        const int y = extent.cy / 2;
        // Where the line is not under the caption label (which is drawn over it).
        const int labelRight = c.caption[0] ? line->CaptionLabel()->Width() : 0;
        const int firstVisible = std::max(start, labelRight);

        const Capture shot(line->Handle());
        ASSERT_LT(start, shot.Width());
        for (int x = firstVisible; x < shot.Width(); ++x) {
            ASSERT_EQ(shot.At(x, y), dark) << "x " << x;
            ASSERT_EQ(shot.At(x, y + 1), c.thinLine ? background : light) << "x " << x;
        }
        if (start - 1 >= labelRight) {
            EXPECT_EQ(shot.At(start - 1, y), background);
            EXPECT_EQ(shot.At(start - 1, y + 1), background);
        }
        EXPECT_EQ(shot.At(shot.Width() - 1, y + 2), background);
    }
}

TEST_F(SymbolLinePaint, ANewCaptionShowsAtOnceTheLineFollowsAtTheNextPaint)
{
    line->SetCaption("K");
    EXPECT_EQ(line->CaptionLabel()->Caption(), "K");
    const int labelWidth = line->CaptionLabel()->Width();
    line->SetCaption("Korvan Korvan");
    EXPECT_EQ(line->CaptionLabel()->Caption(), "Korvan Korvan");
    EXPECT_GT(line->CaptionLabel()->Width(), labelWidth);
}

TEST_F(SymbolLinePaint, TheCaptionIsGreyedUnlessLabEnable)
{
    EXPECT_FALSE(line->CaptionLabel()->Enabled());
    line->SetLabEnable(true);
    EXPECT_FALSE(line->CaptionLabel()->Enabled());  // only at the next paint
    Repaint(*line);
    EXPECT_TRUE(line->CaptionLabel()->Enabled());
}

}  // namespace
