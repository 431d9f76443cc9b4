/* For context: an empty window with two buttons, nothing else. */
#include <windows.h>

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int showCommand)
{
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    WNDCLASSW windowClass = {0};
    RECT frame = {0, 0, 335, 235};
    HWND window;
    MSG message;
    (void)previous;
    (void)commandLine;

    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"EmptyWindow";
    RegisterClassW(&windowClass);
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window = CreateWindowExW(0, L"EmptyWindow", L"Select Port Type", style, CW_USEDEFAULT, CW_USEDEFAULT,
                             frame.right - frame.left, frame.bottom - frame.top, NULL, NULL, instance, NULL);
    CreateWindowExW(0, L"BUTTON", L"Next (&N)", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 250, 207, 81, 25, window,
                    (HMENU)100, instance, NULL);
    CreateWindowExW(0, L"BUTTON", L"Delete (&X)", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4, 207, 79, 25, window,
                    (HMENU)101, instance, NULL);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
