#include "dialog/form1.hpp"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <array>
#include <cstdlib>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialog/form_layout.hpp"
#include "driver/spooler.hpp"
#include "platform/system.hpp"
#include "platform/system_functions.hpp"
#include "platform/waiting.hpp"
#include "platform/win32_handles.hpp"

namespace portsetup {
namespace {

// The dialog as the program shows it, driven with the messages that the
// keyboard and the mouse produce, through the program's own dialog handling.
class Form1Test : public ::testing::Test {
protected:
    void SetUp() override { Open(); }

    // A new dialog in place of the one there was.
    void Open()
    {
        form_.reset();
        form_.emplace(::GetModuleHandleW(nullptr));
        ASSERT_EQ(form_->Create(), static_cast<DWORD>(ERROR_SUCCESS));
        form_->Show();
        Pump();
    }

    static void Pump()
    {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

    HWND Item(int id) const { return form_->Control(id); }
    bool Checked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    static int Focused() { return ::GetDlgCtrlID(::GetFocus()); }

    void Press(UINT key)
    {
        for (MSG msg : {MSG{::GetFocus(), WM_KEYDOWN, key, 1, 0, {}}, MSG{::GetFocus(), WM_KEYUP, key, 0, 0, {}}}) {
            if (!form_->PreTranslateMessage(msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            Pump();
        }
    }

    void Click(int id)
    {
        ::SendMessageW(Item(id), BM_CLICK, 0, 0);
        Pump();
    }

    // The height of the font a control shows its text in.
    LONG FontHeight(int id) const
    {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(Item(id), WM_GETFONT, 0, 0)), sizeof font, &font);
        return std::abs(font.lfHeight);
    }

    // Every control's rectangle in the window's client area.
    std::map<int, RECT> Rectangles() const
    {
        std::map<int, RECT> rectangles;
        for (const ControlSpec& control : kFormControls) {
            RECT& bounds = rectangles[control.id];
            ::GetWindowRect(Item(control.id), &bounds);
            ::MapWindowPoints(nullptr, form_->Window(), reinterpret_cast<POINT*>(&bounds), 2);
        }
        return rectangles;
    }

    std::optional<Form1> form_;
};

// Run at 96 DPI, and again in prefixes at 144 DPI and on a 320 x 200 screen.
TEST_F(Form1Test, LaysItselfOutAtTheScreenDpiCentredWithWholeLabels)
{
    const char* dpiSetting = std::getenv("PORTSETUP_EXPECTED_DPI");
    const bool highDpi = dpiSetting != nullptr && std::atoi(dpiSetting) == 144;
    RECT client{};
    ::GetClientRect(form_->Window(), &client);
    EXPECT_EQ(client.right, highDpi ? 503 : 335);
    EXPECT_EQ(client.bottom, highDpi ? 353 : 235);

    RECT outer{};
    ::GetWindowRect(form_->Window(), &outer);
    // Centred as computed, off the screen's edge when the screen is smaller.
    EXPECT_NEAR(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2.0, 0.5);
    EXPECT_NEAR(outer.top, (::GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2.0, 0.5);

    for (int i = 0; i < kSettingListCount; ++i) {
        const HWND label = Item(Label1Id(i));
        RECT labelBounds{};
        RECT listBounds{};
        ::GetWindowRect(label, &labelBounds);
        ::GetWindowRect(Item(Combo1Id(i)), &listBounds);
        EXPECT_EQ(labelBounds.right, listBounds.left) << i;

        wchar_t caption[64] = {};
        RECT text{};
        HDC dc = ::GetDC(label);
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        ::DrawTextW(dc, caption, ::GetWindowTextW(label, caption, 64), &text, DT_CALCRECT | DT_SINGLELINE);
        ::ReleaseDC(label, dc);
        EXPECT_GE(labelBounds.right - labelBounds.left, text.right) << i;
        EXPECT_GE(labelBounds.bottom - labelBounds.top, text.bottom) << i;
        // A closed list is as tall as the table says, so clear of the next one.
        EXPECT_EQ(listBounds.bottom - listBounds.top, highDpi ? 30 : 20) << i;
        // Screen readers name a list after the text just before it in z-order.
        EXPECT_EQ(::GetWindow(Item(Combo1Id(i)), GW_HWNDPREV), label) << i;
    }
}

// Notes a control given a new font while the one it holds is already deleted.
LRESULT CALLBACK NoteDeletedFont(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                 DWORD_PTR deletedFontHeld)
{
    const auto held = reinterpret_cast<HGDIOBJ>(::DefSubclassProc(control, WM_GETFONT, 0, 0));
    if (message == WM_SETFONT && held != nullptr && ::GetObjectType(held) == 0) {
        *reinterpret_cast<bool*>(deletedFontHeld) = true;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

// A move to a monitor of another resolution as Windows 10 and 11 send it: the
// size asked for first, then a rectangle scaled from the old one, a few pixels
// off. Laid out anew at the answered size, nothing clipped, the choices kept;
// back again, exactly as before.
TEST_F(Form1Test, FollowsTheMonitorsDpiWhenItChanges)
{
    Click(Option1Id(2));
    ::SendMessageW(Item(Combo1Id(2)), CB_SETCURSEL, 0, 0);
    ::SetFocus(Item(Combo1Id(2)));
    const std::map<int, RECT> before = Rectangles();
    const LONG fontHeight = FontHeight(Label1Id(0));
    bool deletedFontHeld = false;
    ::SetWindowSubclass(Item(Label1Id(0)), &NoteDeletedFont, 0, reinterpret_cast<DWORD_PTR>(&deletedFontHeld));
    const auto adjustForDpi = User32().AdjustWindowRectExForDpi;
    ASSERT_NE(adjustForDpi, nullptr);
    int oldDpi = 96;
    for (const int dpi : {144, 96}) {
        RECT outer{};
        ::GetWindowRect(form_->Window(), &outer);
        SIZE asked{::MulDiv(outer.right - outer.left, dpi, oldDpi), ::MulDiv(outer.bottom - outer.top, dpi, oldDpi)};
        EXPECT_EQ(
            ::SendMessageW(form_->Window(), 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi, reinterpret_cast<LPARAM>(&asked)),
            TRUE);
        // Answered: the outer size of the form's client area at the new resolution.
        RECT expected{0, 0, dpi == 144 ? 503 : 335, dpi == 144 ? 353 : 235};
        adjustForDpi(&expected, static_cast<DWORD>(::GetWindowLongW(form_->Window(), GWL_STYLE)), FALSE, 0, dpi);
        EXPECT_EQ(asked.cx, expected.right - expected.left);
        EXPECT_EQ(asked.cy, expected.bottom - expected.top);
        RECT suggested{outer.left + 7, outer.top + 5,
                       outer.left + 7 + ::MulDiv(outer.right - outer.left, dpi, oldDpi) + 2,
                       outer.top + 5 + ::MulDiv(outer.bottom - outer.top, dpi, oldDpi) - 3};
        ::SendMessageW(form_->Window(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        oldDpi = dpi;
        RECT now{};
        RECT client{};
        ::GetWindowRect(form_->Window(), &now);
        ::GetClientRect(form_->Window(), &client);
        EXPECT_EQ(now.left, suggested.left);
        EXPECT_EQ(now.top, suggested.top);
        EXPECT_EQ(client.right, dpi == 144 ? 503 : 335);
        EXPECT_EQ(client.bottom, dpi == 144 ? 353 : 235);
        EXPECT_NEAR(FontHeight(Label1Id(0)), fontHeight * dpi / 96.0, 1);
        for (const auto& [id, bounds] : Rectangles()) {
            // Scaled to within a pixel; a label's left edge follows its text.
            const RECT& was = before.at(id);
            EXPECT_NEAR(bounds.right, was.right * dpi / 96.0, 1) << dpi << " " << id;
            EXPECT_NEAR(bounds.top, was.top * dpi / 96.0, 1) << dpi << " " << id;
            if (id < Label1Id(0)) {
                EXPECT_NEAR(bounds.left, was.left * dpi / 96.0, 1) << dpi << " " << id;
            }
            RECT inside{};
            EXPECT_TRUE(::IntersectRect(&inside, &bounds, &client) && ::EqualRect(&inside, &bounds))
                << dpi << " " << id;
            if (dpi == 96) {
                EXPECT_TRUE(::EqualRect(&bounds, &was)) << id;
            }
        }
    }
    EXPECT_FALSE(deletedFontHeld);
    EXPECT_TRUE(Checked(Option1Id(2)));
    EXPECT_EQ(::SendMessageW(Item(Combo1Id(2)), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Focused(), Combo1Id(2));
}

TEST_F(Form1Test, ExactlyOnePortIsChosenAndOnlyASerialPortEnablesTheSettings)
{
    ::SendMessageW(Item(Combo1Id(0)), CB_SETCURSEL, 10, 0);
    for (const int chosen : {Option1Id(3), Option2Id(0), Option2Id(0), Option1Id(2), Option2Id(1), Option1Id(0)}) {
        Click(chosen);
        for (const int id : {Option1Id(0), Option1Id(1), Option1Id(2), Option1Id(3), Option2Id(0), Option2Id(1)}) {
            EXPECT_EQ(Checked(id), id == chosen) << "after " << chosen << ", button " << id;
        }
        const bool serial = chosen < Option2Id(0);
        EXPECT_EQ(Enabled(kPropertiesFrame), serial) << chosen;
        for (int i = 0; i < kSettingListCount; ++i) {
            EXPECT_EQ(Enabled(Combo1Id(i)), serial) << chosen;
            EXPECT_EQ(Enabled(Label1Id(i)), serial) << chosen;
        }
    }
    // The lists keep their choices while disabled, and look disabled.
    EXPECT_EQ(::SendMessageW(Item(Combo1Id(0)), CB_GETCURSEL, 0, 0), 10);
    Click(Option2Id(0));
    RECT list{};
    ::GetClientRect(Item(Combo1Id(0)), &list);
    HDC dc = ::GetDC(Item(Combo1Id(0)));
    EXPECT_EQ(::GetPixel(dc, list.right * 6 / 10, list.bottom / 2), ::GetSysColor(COLOR_BTNFACE));
    ::ReleaseDC(Item(Combo1Id(0)), dc);
}

// Windows' automatic radio buttons where Wine 8's differ: one that gets the
// focus while it is not checked, other than by the mouse, checks itself,
// unchecks the rest of its group and notifies BN_CLICKED (Raymond Chen,
// "Automatic radio buttons select themselves automatically when they
// receive focus", The Old New Thing; BM_SETDONTCLICK, whose documentation
// names that notification, exists to turn it off).
LRESULT CALLBACK WindowsRadioButton(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                    DWORD_PTR /*data*/)
{
    const LRESULT result = ::DefSubclassProc(button, message, wParam, lParam);
    if (message == WM_SETFOCUS && ::SendMessageW(button, BM_GETCHECK, 0, 0) != BST_CHECKED &&
        ::GetKeyState(VK_LBUTTON) >= 0) {
        const HWND dialog = ::GetParent(button);
        for (HWND other = ::GetNextDlgGroupItem(dialog, button, FALSE); other != button && other != nullptr;
             other = ::GetNextDlgGroupItem(dialog, other, FALSE)) {
            ::SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        ::SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
    }
    return result;
}

// Real keys through the dialog's own handling, with Windows' radio buttons:
// Tab reaches the chosen port and leaves the ports with the next Tab, the
// arrow keys go round all six and choose as they go, and the focus is never
// on a port that is not chosen.
TEST_F(Form1Test, TheKeyboardMovesAmongTheSixPortsAsOneGroupAndTabNeverChangesThePort)
{
    const int ports[] = {Option1Id(0), Option1Id(1), Option1Id(2), Option1Id(3), Option2Id(0), Option2Id(1)};
    Click(Option1Id(2));
    for (const int id : ports) {
        ::SetWindowSubclass(Item(id), &WindowsRadioButton, 0, 0);
    }
    // Presses the key, then checks that PORT alone is chosen and the focus is on FOCUSED.
    const auto expect = [&](UINT key, bool shift, int port, int focused) {
        BYTE keyboard[256] = {};
        keyboard[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keyboard);
        Press(key);
        for (const int id : ports) {
            EXPECT_EQ(Checked(id), id == port) << "port " << id << " after key " << key << " towards " << port;
        }
        EXPECT_EQ(Focused(), focused) << "after key " << key << " towards " << port;
        EXPECT_EQ(Enabled(Combo1Id(0)), port < Option2Id(0));
    };
    expect(VK_TAB, false, Option1Id(2), Combo1Id(0));
    expect(VK_TAB, true, Option1Id(2), Option1Id(2));
    for (const int port : {Option1Id(3), Option2Id(0), Option2Id(1), Option1Id(0)}) {
        expect(VK_DOWN, false, port, port);
    }
    for (const int port : {Option2Id(1), Option2Id(0), Option1Id(3)}) {
        expect(VK_UP, false, port, port);
    }
    expect(VK_TAB, true, Option1Id(3), kCmdDelete);
    expect(VK_TAB, false, Option1Id(3), Option1Id(3));
    expect(VK_TAB, false, Option1Id(3), Combo1Id(0));
    // A click reported by a button that is not checked chooses nothing.
    ::SendMessageW(form_->Window(), WM_COMMAND, MAKEWPARAM(Option2Id(0), BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(Option2Id(0))));
    EXPECT_TRUE(Checked(Option1Id(3)) && Enabled(Combo1Id(0)));
    ::SetKeyboardState(std::array<BYTE, 256>{}.data());
}

// Screen readers give a list's value as the chosen entry's display text,
// and name the entries of the list it opens by theirs, without the code
// after the spaces. A screen reader is another process: the lists are read
// from a thread and a COM apartment of their own while the dialog's thread
// answers messages, so that the objects are marshalled as they are to it.
struct ListReading {
    std::vector<std::pair<HWND, LONG>> asked;  // a window and its child (a setting list's own value: 0)
    std::vector<std::wstring> heard;
};

DWORD WINAPI ReadListsAsAScreenReader(LPVOID reading)
{
    auto& lists = *static_cast<ListReading*>(reading);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (const auto& [window, child] : lists.asked) {
        IAccessible* object = nullptr;
        VARIANT which{};
        which.vt = VT_I4;
        which.lVal = child;
        BSTR text = nullptr;
        HRESULT asked = ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&object));
        if (SUCCEEDED(asked)) {
            asked = child == CHILDID_SELF ? object->get_accValue(which, &text) : object->get_accName(which, &text);
            object->Release();
        }
        lists.heard.emplace_back(SUCCEEDED(asked) && text != nullptr ? text : L"(failed)");
        ::SysFreeString(text);
    }
    ::CoUninitialize();
    return 0;
}

TEST_F(Form1Test, ScreenReadersHearTheListsDisplayTexts)
{
    ::SendMessageW(Item(Combo1Id(4)), CB_SETCURSEL, 1, 0);
    ListReading reading;
    for (int i = 0; i < kSettingListCount; ++i) {
        reading.asked.emplace_back(Item(Combo1Id(i)), CHILDID_SELF);
    }
    for (const auto& [index, count] : {std::pair{2, 5}, std::pair{4, 3}}) {
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        ASSERT_TRUE(::GetComboBoxInfo(Item(Combo1Id(index)), &parts));
        for (LONG child = 1; child <= count; ++child) {
            reading.asked.emplace_back(parts.hwndList, child);
        }
    }
    const UniqueKernelHandle reader(::CreateThread(nullptr, 0, &ReadListsAsAScreenReader, &reading, 0, nullptr));
    ASSERT_EQ(WaitAnsweringMessages(reader.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(reading.heard,
              (std::vector<std::wstring>{L"9600", L"8", L"None", L"1", L"Hardware", L"Even", L"Odd", L"None", L"Mark",
                                         L"Space", L"Xon/Xoff", L"Hardware", L"None"}));
}

// The five lists as they are meant to be: display texts and codes in order,
// and the entry chosen at the start.
struct ExpectedList {
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    std::size_t defaultEntry;
};
const ExpectedList kExpectedLists[] = {
    {{{L"1200", L"1200"},
      {L"1800", L"1800"},
      {L"2400", L"2400"},
      {L"4800", L"4800"},
      {L"7200", L"7200"},
      {L"9600", L"9600"},
      {L"14400", L"14400"},
      {L"19200", L"19200"},
      {L"38400", L"38400"},
      {L"57600", L"57600"},
      {L"115200", L"115200"},
      {L"128000", L"128000"}},
     5},
    {{{L"4", L"4"}, {L"5", L"5"}, {L"6", L"6"}, {L"7", L"7"}, {L"8", L"8"}}, 4},
    {{{L"Even", L"e"}, {L"Odd", L"o"}, {L"None", L"n"}, {L"Mark", L"m"}, {L"Space", L"s"}}, 2},
    {{{L"1", L"1"}, {L"1.5", L"1.5"}, {L"2", L"2"}}, 0},
    {{{L"Xon/Xoff", L",x"}, {L"Hardware", L",p"}, {L"None", L""}}, 2},
};

// What the Ports key holds under a name, in the view the spooler reads.
std::wstring StoredPortsValue(const wchar_t* name)
{
    wchar_t value[64] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    HKEY key = nullptr;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", 0,
                    KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key);
    ::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    return value;
}

// Every entry of every list, chosen with the keyboard in the real list
// (round i takes entry i mod n of each), then Next: the Ports value of the
// serial port chosen holds each entry's own code, in the stored order.
TEST_F(Form1Test, EveryEntryOfEveryListReachesThePortsValueAsItsOwnCode)
{
    const std::wstring informationFile = ApplicationFolder() + L"\\ZUTW2KXPDrvs.INF";
    ::CloseHandle(::CreateFileW(informationFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (std::size_t round = 0; round < 12; ++round) {
        std::wstring chosen[5];
        for (int i = 0; i < kSettingListCount; ++i) {
            const HWND list = Item(Combo1Id(i));
            const ExpectedList& expected = kExpectedLists[i];
            if (round == 0) {
                ASSERT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(expected.entries.size()));
                for (std::size_t e = 0; e < expected.entries.size(); ++e) {
                    wchar_t text[160] = {};
                    ::SendMessageW(list, CB_GETLBTEXT, e, reinterpret_cast<LPARAM>(text));
                    EXPECT_EQ(text, expected.entries[e].first + std::wstring(100, L' ') + expected.entries[e].second);
                }
                EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), static_cast<LRESULT>(expected.defaultEntry)) << i;
            }
            const std::size_t entry = round % expected.entries.size();
            ::SetFocus(list);
            Press(VK_HOME);
            for (std::size_t down = 0; down < entry; ++down) {
                Press(VK_DOWN);
            }
            chosen[i] = expected.entries[entry].second;
        }
        const int port = static_cast<int>(round % 4);
        Click(Option1Id(port));
        Click(kCommand1);
        const std::wstring name = L"COM" + std::to_wstring(port + 1) + L":";
        EXPECT_EQ(StoredPortsValue(name.c_str()),
                  chosen[0] + L"," + chosen[2] + L"," + chosen[1] + L"," + chosen[3] + chosen[4])
            << "round " << round;
        EXPECT_EQ(form_->Window(), nullptr) << "Next ends the dialog";
        Open();
    }
    ::DeleteFileW(informationFile.c_str());
}

// What another thread sees of the dialog a second into its wait.
struct SeenWhileWaiting {
    HWND window = nullptr;
    bool answered = false;
    bool hung = true;
    bool takesInput = true;
};

DWORD WINAPI LookAtTheWaitingDialog(void* parameter)
{
    auto* seen = static_cast<SeenWhileWaiting*>(parameter);
    ::Sleep(1000);
    DWORD_PTR answer = 0;
    seen->answered = ::SendMessageTimeoutW(seen->window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0;
    seen->hung = ::IsHungAppWindow(seen->window) != FALSE;
    seen->takesInput = ::IsWindowEnabled(seen->window) || ::IsWindowEnabled(::GetDlgItem(seen->window, kCommand1));
    return 0;
}

// Delete while Windows keeps the printer for a job still being printed (the
// stand-in spooler, for three seconds): the window answers throughout, takes
// no input, and the dialog then ends with the printer and its driver gone.
TEST_F(Form1Test, DeleteWaitsForThePrinterWithTheWindowAnsweringAndTakingNoInput)
{
    wchar_t install[] =
        L"rundll32 printui.dll,PrintUIEntry /if /b \"Q7 MiniPrinter(Cut Mode)\" /r \"COM2:\" /m "
        L"\"Q7 MiniPrinter(Cut Mode)\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION printui{};
    ASSERT_TRUE(::CreateProcessW(L"C:\\windows\\system32\\rundll32.exe", install, nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &printui));
    ::WaitForSingleObject(printui.hProcess, INFINITE);
    ::CloseHandle(printui.hThread);
    ::CloseHandle(printui.hProcess);
    ASSERT_TRUE(ModelsPrinter().exists);
    ::SetEnvironmentVariableW(L"WINSPOOL_STANDIN_PRINTING_MS", L"3000");
    SeenWhileWaiting seen;
    seen.window = form_->Window();
    const HANDLE observer = ::CreateThread(nullptr, 0, &LookAtTheWaitingDialog, &seen, 0, nullptr);
    const ULONGLONG start = ::GetTickCount64();
    Click(kCmdDelete);
    ::WaitForSingleObject(observer, INFINITE);
    ::CloseHandle(observer);
    ::SetEnvironmentVariableW(L"WINSPOOL_STANDIN_PRINTING_MS", nullptr);
    EXPECT_GE(::GetTickCount64() - start, 3000u) << "the printer's deletion was waited for";
    EXPECT_TRUE(seen.answered);
    EXPECT_FALSE(seen.hung);
    EXPECT_FALSE(seen.takesInput);
    Pump();
    EXPECT_EQ(form_->Window(), nullptr) << "Delete ends the dialog";
    EXPECT_FALSE(ModelsPrinter().exists);
    EXPECT_FALSE(ModelsDriver().native);
}

}  // namespace
}  // namespace portsetup
