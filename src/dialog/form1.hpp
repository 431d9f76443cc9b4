#pragma once

#include <windows.h>

#include <string>

#include "dialog/port_choice.hpp"
#include "driver/driver_setup.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {

// The program's one window, "Select Port Type".
class Form1 {
public:
    explicit Form1(HINSTANCE instance) noexcept : instance_(instance) {}
    ~Form1();

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Creates the window, hidden, with its controls, and runs Form_Load.
    // Returns 0, or the Windows error code when the window was not made.
    DWORD Create();

    // Shows the window in its normal state, with "Next (&N)" focused.
    void Show();

    // Hands keyboard input meant for the window to the dialog manager;
    // true when the message was consumed.
    bool PreTranslateMessage(MSG& message);

    // Runs the messages until the program ends; returns its exit code.
    int RunMessageLoop();

    [[nodiscard]] HWND Window() const noexcept { return window_; }
    [[nodiscard]] HWND Control(int id) const noexcept;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    struct DpiResources {
        UniqueGdiObject font;
        UniqueIcon bigIcon;
        UniqueIcon smallIcon;
    };

    void CreateControls();
    // The font, the list entries' height and the icons for a resolution;
    // returns the ones they replace, which the window may still hold.
    DpiResources UseDpi(int dpi);
    // Where a control goes at the current resolution (for a list, with its
    // drop-down part).
    [[nodiscard]] RECT Placement(const ControlSpec& control) const;
    // Measures the lists' borders and sizes their selection fields so that
    // each closed list is the table's height.
    void SizeListFields() const;
    // Moves the window (unless flags say SWP_NOMOVE) and sizes it so that its
    // client area is the form's at the current resolution.
    void FitWindowToForm(int left, int top, UINT flags) const;
    // Places and sizes every control again at the current resolution.
    void LayOut();
    void OnCommand(int id, int notification);
    void MeasureListItem(MEASUREITEMSTRUCT& item) const;
    void DrawListItem(const DRAWITEMSTRUCT& item) const;

    void Form_Load();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Command1_Click();
    void cmdDelete_Click();
    void FillSettingLists();
    // The Ports value the lists give, which Next stores for a serial port;
    // empty while a parallel port is chosen.
    [[nodiscard]] std::wstring PortSettingsValue() const;
    void Unload();

    [[nodiscard]] PortButtonStates ButtonStates() const;
    void EnablePropertiesGroup(bool enable) const;
    [[nodiscard]] std::wstring ListText(int index) const;
    // Runs a set-up step that may wait, with the window answering but taking
    // no input meanwhile.
    template <typename Step>
    SetupResult WhileWaiting(Step step);
    // False when a set-up step succeeded; otherwise reports it, keeps its
    // error as the exit code, unloads and returns true.
    bool ReportFailureAndUnload(const SetupResult& result);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    int lineHeight_ = 0;  // of the dialog's font
    int exitCode_ = 0;
    bool waiting_ = false;
    UniqueGdiObject font_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
};

}  // namespace portsetup
