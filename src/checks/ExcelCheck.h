#pragma once
// The Excel row of the check dialog: Excel XP (version 10) or later must start
// through automation.

#include <functional>

// True when Excel XP or later was started and told to quit. showCross puts the
// row's cross on screen before a message. Before Excel starts, the add-in's
// login at Excel start is switched off for the machine and, when set, for the
// user; the user's setting is put back after a passed check.
bool CheckExcel(const std::function<void()>& showCross);
