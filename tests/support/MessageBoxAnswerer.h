#pragma once
// Answers the modal message boxes of this process from another thread, as a
// user would: it waits for each box to be visible, records its caption and
// text as shown on screen, and presses the next button of its script.

#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox {
    std::wstring caption;
    std::wstring text;
    int pressed = 0;       // the button id pressed (IDOK, IDYES, IDNO, ...)
    bool ownerDisabled = false;  // were the other windows of the program disabled while it was open
};

class MessageBoxAnswerer {
public:
    // buttons: the button to press for the first, second, ... box. Boxes after
    // the script runs out are answered with IDOK, or IDNO when the box has no
    // OK button, and recorded as well.
    explicit MessageBoxAnswerer(std::vector<int> buttons = {});
    ~MessageBoxAnswerer();  // stops watching; boxes still open stay open
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // The boxes answered so far, in order.
    std::vector<SeenMessageBox> Seen() const;

private:
    struct State;
    State* state_;
};
