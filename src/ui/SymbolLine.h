#pragma once
// The separator line: a caption at the left end followed by an etched
// horizontal line that runs to the right end.

#include "ui/Forms.h"

class TSymbolLine : public TControl {
public:
    explicit TSymbolLine(TComponent* owner);
    ~TSymbolLine() override;

    // The caption goes to the inner label at once; the line's start follows
    // at the next paint.
    void SetCaption(const std::string& caption) override;
    // Gap between the measured caption and the start of the line, in pixels.
    int Space() const { return space_; }
    void SetSpace(int space) { space_ = space; }
    // True: only the dark line; false: the dark line and a light one below it.
    bool ThinLine() const { return thinLine_; }
    void SetThinLine(bool thinLine) { thinLine_ = thinLine; }
    // The enabled state of the caption; false draws it greyed.
    bool LabEnable() const { return labEnable_; }
    void SetLabEnable(bool labEnable) { labEnable_ = labEnable; }

    // The label that shows the caption; owned by this control.
    TLabel* CaptionLabel() const { return label_; }

protected:
    CreateParams GetCreateParams() const override;
    void Paint(HDC dc) override;
    // A new caption does not repaint the line.
    void CaptionChanged() override {}

private:
    TLabel* label_ = nullptr;
    int space_ = 0;
    bool thinLine_ = false;
    bool labEnable_ = false;
};
