#pragma once

#include <windows.h>

namespace portsetup {

// The resolution of the monitor the window is on (Windows 10 1607 on), or
// the system's.
int WindowDpi(HWND window);

// A system metric at a resolution: asked for it where Windows can answer,
// scaled from the system's resolution elsewhere.
int MetricForDpi(int metric, int dpi);

// The outer size of a window of that style whose client area is
// clientWidth x clientHeight pixels at the resolution.
SIZE WindowSizeFor(SIZE client, DWORD style, int dpi);

// The classic dialog font, 8 points MS Shell Dlg, at the resolution.
HFONT CreateDialogFont(int dpi);

struct TextExtent {
    int width;
    int lineHeight;
};

// The width of a text and the height of a line in a font (the window's
// default GUI font for nullptr).
TextExtent MeasureText(HWND window, HFONT font, const wchar_t* text);

// Leaves a dialog's layout at a new resolution to the dialog itself: the
// dialog manager (Windows 10 1703 on) would otherwise rescale the window and
// its controls as well.
void KeepDialogFromRescaling(HWND dialog);

}  // namespace portsetup
