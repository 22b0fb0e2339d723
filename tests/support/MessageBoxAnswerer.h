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
    int otherWindows = 0;  // how many other visible top-level windows the program had then
    std::vector<int> buttons;  // the ids of the box's push buttons
};

class MessageBoxAnswerer {
public:
    // buttons: the button to press for the first, second, ... box. Boxes after
    // the script runs out are answered with IDOK, or IDNO when the box has no
    // OK button, and recorded as well. A scripted button that the box does not
    // have is not pressed; the box is answered as after the script instead.
    explicit MessageBoxAnswerer(std::vector<int> buttons = {});
    ~MessageBoxAnswerer();  // stops watching; boxes still open stay open
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // The boxes answered so far, in order.
    std::vector<SeenMessageBox> Seen() const;

    // Waits until at least count boxes have been answered; false on timeout.
    // For boxes shown by another thread than the test's.
    bool WaitForSeen(size_t count, DWORD timeoutMs = 10000) const;

private:
    struct State;
    State* state_;
};
