#pragma once

#include <windows.h>

#include <string>

namespace portsetup {

// The full text of a drop-down list's entry; empty for none.
std::wstring ListItemText(HWND list, WPARAM index);

// Makes a setting list give screen readers the chosen entry's display text
// as its text and its value, and, once a screen reader has asked for the
// list, each entry of the list it opens by its display text as its name: the
// code after the spaces is for the Ports value, which the program reads with
// CB_GETLBTEXT.
void SpeakDisplayTexts(HWND list);

}  // namespace portsetup
