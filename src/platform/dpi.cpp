#include "platform/dpi.hpp"

#include <cwchar>

#include "platform/system_functions.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {

namespace {

constexpr int kDialogDpiChangeDisableAll = 1;  // DDC_DISABLE_ALL

int ScreenDpi()
{
    const WindowDc screen(nullptr);
    const int dpi = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int WindowDpi(HWND window)
{
    const auto getDpiForWindow = User32().GetDpiForWindow;
    const int dpi = getDpiForWindow != nullptr ? static_cast<int>(getDpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : ScreenDpi();
}

int MetricForDpi(int metric, int dpi)
{
    if (const auto forDpi = User32().GetSystemMetricsForDpi) {
        return forDpi(metric, static_cast<UINT>(dpi));
    }
    return ::MulDiv(::GetSystemMetrics(metric), dpi, ScreenDpi());
}

SIZE WindowSizeFor(SIZE client, DWORD style, int dpi)
{
    RECT frame{0, 0, client.cx, client.cy};
    if (const auto forDpi = User32().AdjustWindowRectExForDpi) {
        forDpi(&frame, style, FALSE, 0, static_cast<UINT>(dpi));
    } else {
        ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT CreateDialogFont(int dpi)
{
    return ::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         L"MS Shell Dlg");
}

TextExtent MeasureText(HWND window, HFONT font, const wchar_t* text)
{
    const WindowDc dc(window);
    const SelectedObject selected(dc.get(), font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text, static_cast<int>(std::wcslen(text)), &size);
    return {size.cx, metrics.tmHeight};
}

void KeepDialogFromRescaling(HWND dialog)
{
    if (const auto set = User32().SetDialogDpiChangeBehavior) {
        set(dialog, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
    }
}

}  // namespace portsetup
