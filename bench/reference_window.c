/* The floor: the "Select Port Type" window written the plainest way Win32
 * allows. The same controls, captions, positions (in pixels at 96 DPI) and
 * list entries, made by direct calls in one function, with no C++ runtime
 * and no logic beyond closing when a button is clicked.
 * Built with EMPTY_WINDOW defined, it is the same window with only its two
 * buttons, for context. */
#include <windows.h>

#define NEXT_ID 100
#define DELETE_ID 101

#ifndef EMPTY_WINDOW
static const wchar_t* const bitsPerSecond[] = {L"1200",  L"1800",  L"2400",  L"4800",  L"7200",   L"9600",
                                               L"14400", L"19200", L"38400", L"57600", L"115200", L"128000"};
static const wchar_t* const dataBits[] = {L"4", L"5", L"6", L"7", L"8"};
static const wchar_t* const parity[] = {L"Even", L"Odd", L"None", L"Mark", L"Space"};
static const wchar_t* const stopBits[] = {L"1", L"1.5", L"2"};
static const wchar_t* const flowControl[] = {L"Xon/Xoff", L"Hardware", L"None"};
#endif

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        (LOWORD(wParam) == NEXT_ID || LOWORD(wParam) == DELETE_ID)) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                  int height, int id, HFONT font)
{
    HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                 (HMENU)(INT_PTR)id, GetModuleHandleW(NULL), NULL);
    SendMessageW(child, WM_SETFONT, (WPARAM)font, FALSE);
    return child;
}

#ifndef EMPTY_WINDOW
static void Fill(HWND list, const wchar_t* const* entries, int count, int selected)
{
    int i;
    for (i = 0; i < count; ++i) {
        SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)entries[i]);
    }
    SendMessageW(list, CB_SETCURSEL, (WPARAM)selected, 0);
}
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int showCommand)
{
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
    const DWORD button = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
    WNDCLASSW windowClass = {0};
    NONCLIENTMETRICSW metrics = {0};
    RECT frame = {0, 0, 335, 235};
    HFONT font;
    HWND window;
    MSG message;
    (void)previous;
    (void)commandLine;

    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"FloorDialog";
    RegisterClassW(&windowClass);
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font = CreateFontIndirectW(&metrics.lfMessageFont);
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window =
        CreateWindowExW(WS_EX_CONTROLPARENT, L"FloorDialog", L"Select Port Type", style, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.right - frame.left, frame.bottom - frame.top, NULL, NULL, instance, NULL);

    Child(window, L"BUTTON", L"Next (&N)", button, 250, 207, 81, 25, NEXT_ID, font);
    Child(window, L"BUTTON", L"Delete (&X)", button, 4, 207, 79, 25, DELETE_ID, font);
#ifndef EMPTY_WINDOW
    const DWORD list = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP;
    SendMessageW(Child(window, L"BUTTON", L"COM1", BS_AUTORADIOBUTTON | WS_GROUP, 13, 22, 62, 18, 102, font),
                 BM_SETCHECK, BST_CHECKED, 0);
    Child(window, L"BUTTON", L"COM2", BS_AUTORADIOBUTTON, 13, 49, 62, 18, 103, font);
    Child(window, L"BUTTON", L"COM3", BS_AUTORADIOBUTTON, 13, 75, 62, 18, 104, font);
    Child(window, L"BUTTON", L"COM4", BS_AUTORADIOBUTTON, 13, 102, 62, 18, 105, font);
    Child(window, L"BUTTON", L"LPT1", BS_AUTORADIOBUTTON | WS_GROUP, 13, 149, 89, 14, 106, font);
    Child(window, L"BUTTON", L"LPT2", BS_AUTORADIOBUTTON, 13, 173, 89, 14, 107, font);
    Fill(Child(window, L"COMBOBOX", L"", list, 227, 19, 102, 200, 108, font), bitsPerSecond, 12, 5);
    Fill(Child(window, L"COMBOBOX", L"", list, 227, 39, 102, 120, 109, font), dataBits, 5, 4);
    Fill(Child(window, L"COMBOBOX", L"", list, 227, 59, 102, 120, 110, font), parity, 5, 2);
    Fill(Child(window, L"COMBOBOX", L"", list, 227, 79, 102, 80, 111, font), stopBits, 3, 0);
    Fill(Child(window, L"COMBOBOX", L"", list, 227, 99, 102, 80, 112, font), flowControl, 3, 2);
    Child(window, L"BUTTON", L"COM Port Properties", BS_GROUPBOX | WS_GROUP, 115, 5, 217, 120, 113, font);
    Child(window, L"STATIC", L"Flow control : ", SS_RIGHT | SS_NOPREFIX, 146, 103, 81, 12, 114, font);
    Child(window, L"STATIC", L"Stop Bits : ", SS_RIGHT | SS_NOPREFIX, 165, 83, 62, 12, 115, font);
    Child(window, L"STATIC", L"Parity : ", SS_RIGHT | SS_NOPREFIX, 183, 63, 44, 12, 116, font);
    Child(window, L"STATIC", L"Data bits : ", SS_RIGHT | SS_NOPREFIX, 166, 43, 61, 12, 117, font);
    Child(window, L"STATIC", L"Bits per sencond : ", SS_RIGHT | SS_NOPREFIX, 119, 23, 108, 12, 118, font);
    Child(window, L"BUTTON", L"Parallel Port", BS_GROUPBOX | WS_GROUP, 2, 130, 107, 70, 119, font);
    Child(window, L"BUTTON", L"Serial Port", BS_GROUPBOX | WS_GROUP, 2, 3, 107, 122, 120, font);
#endif

    ShowWindow(window, showCommand);
    UpdateWindow(window);
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DeleteObject(font);
    return 0;
}
