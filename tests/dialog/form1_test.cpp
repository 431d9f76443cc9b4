#include "dialog/form1.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "dialog/form_layout.hpp"
#include "driver/command_lines.hpp"
#include "platform/error_text.hpp"
#include "platform/launch.hpp"
#include "platform/system_paths.hpp"
#include "settings/setting_lists.hpp"
#include "support/wine_test_support.hpp"

namespace portsetup {
namespace {

using testing::ClassOf;
using testing::LaunchLog;
using testing::PumpMessages;
using testing::TextOf;

// The dialog as the program shows it, driven with the messages that the
// keyboard and the mouse produce, through the program's own dialog handling.
class Form1Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(form_.Create(), static_cast<DWORD>(ERROR_SUCCESS));
        form_.Show();
        Pump();
    }

    void Pump()
    {
        const int quit = PumpMessages();
        if (quit != -1) {
            quitCode_ = quit;
        }
    }

    HWND Item(int id) const { return form_.Control(id); }
    bool Checked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    int Selection(int list) const { return static_cast<int>(::SendMessageW(Item(Combo1Id(list)), CB_GETCURSEL, 0, 0)); }

    void Deliver(UINT message, WPARAM wParam, LPARAM lParam)
    {
        MSG msg{};
        msg.hwnd = ::GetFocus();
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        if (!form_.PreTranslateMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        Pump();
    }

    void Press(UINT key)
    {
        Deliver(WM_KEYDOWN, key, 1);
        if (form_.Window() != nullptr) {
            Deliver(WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        }
    }

    void Type(wchar_t letter) { Deliver(WM_CHAR, letter, 1); }
    void AltPress(wchar_t letter) { Deliver(WM_SYSCHAR, letter, 0x20000001); }

    void Click(int id)
    {
        ::SendMessageW(Item(id), BM_CLICK, 0, 0);
        Pump();
    }

    void Close()
    {
        ::SendMessageW(form_.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump();
    }

    int CheckedCount() const
    {
        int count = 0;
        for (const PortButton& button : kPortButtons) {
            count += Checked(button.controlId) ? 1 : 0;
        }
        return count;
    }

    void ExpectPropertiesEnabled(bool enabled) const
    {
        EXPECT_EQ(Enabled(kPropertiesFrame), enabled);
        for (int i = 0; i < kSettingListCount; ++i) {
            EXPECT_EQ(Enabled(Combo1Id(i)), enabled) << "list " << i;
            EXPECT_EQ(Enabled(Label1Id(i)), enabled) << "label " << i;
        }
    }

    LaunchLog log_;
    Form1 form_{::GetModuleHandleW(nullptr)};
    int quitCode_ = -1;
};

TEST_F(Form1Test, WindowHasItsCaptionSizeAndPlace)
{
    const HWND window = form_.Window();
    EXPECT_EQ(TextOf(window), L"Select Port Type");
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, form_.Dpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, form_.Dpi()));

    RECT outer{};
    ::GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, CentredOrigin(::GetSystemMetrics(SM_CXSCREEN), outer.right - outer.left));
    EXPECT_EQ(outer.top, CentredOrigin(::GetSystemMetrics(SM_CYSCREEN), outer.bottom - outer.top));
    if (::GetSystemMetrics(SM_CXSCREEN) < outer.right - outer.left) {
        EXPECT_LT(outer.left, 0);  // applied as computed, not pulled onto the screen
    }
    if (::GetSystemMetrics(SM_CYSCREEN) < outer.bottom - outer.top) {
        EXPECT_LT(outer.top, 0);
    }
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_FALSE(::IsZoomed(window));
    EXPECT_EQ(::GetWindowLongW(window, GWL_STYLE) & WS_MAXIMIZEBOX, 0);
}

TEST_F(Form1Test, UsesTheScreenDpi)
{
    // The test prefix sets the resolution Windows reports; the window must
    // lay itself out at that resolution, not at 96 DPI.
    const char* expected = std::getenv("PORTSETUP_EXPECTED_DPI");
    ASSERT_NE(expected, nullptr);
    const int dpi = std::atoi(expected);
    EXPECT_EQ(form_.Dpi(), dpi);
    RECT client{};
    ::GetClientRect(form_.Window(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, dpi));
    RECT next{};
    ::GetWindowRect(Item(kCommand1), &next);
    EXPECT_EQ(next.right - next.left, TwipsToPixels(3750 + 1215, dpi) - TwipsToPixels(3750, dpi));
}

TEST_F(Form1Test, EveryControlStandsWhereTheTableSaysWithItsCaption)
{
    const int dpi = form_.Dpi();
    for (const ControlSpec& control : kFormControls) {
        SCOPED_TRACE(std::string(control.name) + "(" + std::to_string(control.index) + ")");
        const HWND item = Item(control.id);
        ASSERT_NE(item, nullptr);
        RECT bounds{};
        ::GetWindowRect(item, &bounds);
        ::MapWindowPoints(nullptr, form_.Window(), reinterpret_cast<POINT*>(&bounds), 2);
        const TwipsRect twips = ClientBounds(control);
        if (control.kind == ControlKind::Label) {
            // Sized to the caption in the font in use: never narrower than
            // designed, wide enough for the caption, right edge where designed.
            EXPECT_LE(bounds.left, TwipsToPixels(twips.left, dpi));
            HDC dc = ::GetDC(item);
            const HGDIOBJ previous =
                ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(item, WM_GETFONT, 0, 0)));
            SIZE text{};
            ::GetTextExtentPoint32W(dc, control.caption, static_cast<int>(::lstrlenW(control.caption)), &text);
            ::SelectObject(dc, previous);
            ::ReleaseDC(item, dc);
            EXPECT_GE(bounds.right - bounds.left, text.cx);
        } else {
            EXPECT_EQ(bounds.left, TwipsToPixels(twips.left, dpi));
        }
        EXPECT_EQ(bounds.top, TwipsToPixels(twips.top, dpi));
        EXPECT_EQ(bounds.right, TwipsToPixels(twips.left + twips.width, dpi));
        if (control.kind != ControlKind::DropDownList) {
            EXPECT_EQ(bounds.bottom, TwipsToPixels(twips.top + twips.height, dpi));
            EXPECT_EQ(TextOf(item), control.caption);
        }
        const LONG style = ::GetWindowLongW(item, GWL_STYLE);
        switch (control.kind) {
        case ControlKind::PushButton:
            EXPECT_EQ(ClassOf(item), L"Button");
            // Only the focused button shows as the default one; none is set as such.
            EXPECT_EQ(style & BS_TYPEMASK, item == ::GetFocus() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::GroupBox:
            EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
            break;
        case ControlKind::RadioButton:
            EXPECT_EQ(style & BS_TYPEMASK, BS_AUTORADIOBUTTON);
            break;
        case ControlKind::DropDownList:
            EXPECT_EQ(ClassOf(item), L"ComboBox");
            EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);  // selection only
            break;
        case ControlKind::Label:
            EXPECT_EQ(ClassOf(item), L"Static");
            EXPECT_EQ(style & SS_TYPEMASK, SS_RIGHT);
            break;
        }
    }
}

TEST_F(Form1Test, OpensWithCom1ChosenAndNextFocused)
{
    const LRESULT defaultId = ::SendMessageW(form_.Window(), DM_GETDEFID, 0, 0);
    if (HIWORD(defaultId) == DC_HASDEFID) {
        EXPECT_EQ(FindControl(LOWORD(defaultId)), nullptr);
    }
    EXPECT_TRUE(Checked(Option1Id(0)));
    EXPECT_EQ(CheckedCount(), 1);
    ExpectPropertiesEnabled(true);
    EXPECT_EQ(::GetFocus(), Item(kCommand1));
}

TEST_F(Form1Test, TabVisitsButtonsChosenPortAndListsInOrder)
{
    const int expected[] = {kCmdDelete,  Option1Id(0), Combo1Id(0), Combo1Id(1),
                            Combo1Id(2), Combo1Id(3),  Combo1Id(4), kCommand1};
    for (const int id : expected) {
        Press(VK_TAB);
        EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), id);
    }
}

TEST_F(Form1Test, TabSkipsTheDisabledListsOnceAParallelPortIsChosen)
{
    Click(Option2Id(1));
    ::SetFocus(Item(kCommand1));
    const int expected[] = {kCmdDelete, Option2Id(1), kCommand1};
    for (const int id : expected) {
        Press(VK_TAB);
        EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), id);
    }
}

TEST_F(Form1Test, ChoosingAParallelPortClearsTheSerialOnesAndDisablesTheProperties)
{
    Click(Option1Id(3));
    ::SendMessageW(Item(Combo1Id(0)), CB_SETCURSEL, 10, 0);
    Click(Option2Id(0));
    for (int i = 0; i < kSerialPortCount; ++i) {
        EXPECT_FALSE(Checked(Option1Id(i)));
    }
    EXPECT_TRUE(Checked(Option2Id(0)));
    EXPECT_EQ(CheckedCount(), 1);
    ExpectPropertiesEnabled(false);
    // The lists keep their entries and choices while disabled.
    EXPECT_EQ(Selection(0), 10);
    EXPECT_EQ(::SendMessageW(Item(Combo1Id(0)), CB_GETCOUNT, 0, 0), 12);

    Click(Option1Id(2));
    EXPECT_FALSE(Checked(Option2Id(0)));
    EXPECT_FALSE(Checked(Option2Id(1)));
    EXPECT_TRUE(Checked(Option1Id(2)));
    ExpectPropertiesEnabled(true);
    EXPECT_EQ(Selection(0), 10);
}

TEST_F(Form1Test, ExactlyOnePortStaysChosenWhateverTheOrderOfClicks)
{
    const int sequence[] = {Option2Id(1), Option1Id(2), Option1Id(2), Option2Id(0), Option2Id(0),
                            Option1Id(3), Option2Id(1), Option1Id(0), Option1Id(1), Option2Id(0)};
    for (const int id : sequence) {
        Click(id);
        EXPECT_TRUE(Checked(id));
        EXPECT_EQ(CheckedCount(), 1);
        EXPECT_EQ(Enabled(kPropertiesFrame), id < Option2Id(0));
    }
}

TEST_F(Form1Test, ArrowKeysMoveTheChoiceWithinAGroupAndRunTheInterlock)
{
    Click(Option2Id(0));
    ::SetFocus(Item(Option2Id(0)));
    Press(VK_DOWN);
    EXPECT_TRUE(Checked(Option2Id(1)));
    EXPECT_EQ(CheckedCount(), 1);

    Click(Option1Id(0));
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_TRUE(Checked(Option1Id(2)));
    EXPECT_EQ(CheckedCount(), 1);
    ExpectPropertiesEnabled(true);
}

TEST_F(Form1Test, ListsAreFilledWithTheDefaultsChosen)
{
    const int counts[] = {12, 5, 5, 3, 3};
    const wchar_t* shown[] = {L"9600", L"8", L"None", L"1", L"None"};
    for (int i = 0; i < kSettingListCount; ++i) {
        const HWND list = Item(Combo1Id(i));
        EXPECT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), counts[i]);
        const auto& entries = kSettingLists[static_cast<std::size_t>(i)].entries;
        for (std::size_t entry = 0; entry < entries.size(); ++entry) {
            wchar_t text[256] = {};
            ::SendMessageW(list, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(std::wstring(text), MakeSettingItem(entries[entry]));
        }
        wchar_t current[256] = {};
        ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(Selection(i)), reinterpret_cast<LPARAM>(current));
        EXPECT_EQ(DisplayTextOf(current), shown[i]);
        // Owner-drawn from its strings, so only the display text is painted.
        const LONG style = ::GetWindowLongW(list, GWL_STYLE);
        EXPECT_NE(style & CBS_OWNERDRAWFIXED, 0);
        EXPECT_NE(style & CBS_HASSTRINGS, 0);
    }
}

TEST_F(Form1Test, EscapeAndEnterAwayFromAButtonDoNothing)
{
    Press(VK_ESCAPE);
    ASSERT_NE(form_.Window(), nullptr);
    Click(Option1Id(1));
    Press(VK_RETURN);
    Press(VK_ESCAPE);
    Type(L'x');  // a bare letter is no mnemonic
    Type(L'n');
    ASSERT_NE(form_.Window(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(form_.Window()));
    EXPECT_EQ(quitCode_, -1);
    EXPECT_TRUE(log_.Records().empty());
}

TEST_F(Form1Test, CloseBoxEndsWithNothingLaunched)
{
    const auto before = testing::PortsValues();
    Click(Option1Id(2));
    Close();
    EXPECT_EQ(form_.Window(), nullptr);
    EXPECT_EQ(quitCode_, 0);
    ::Sleep(500);
    EXPECT_TRUE(log_.Records().empty());
    EXPECT_EQ(testing::PortsValues(), before);
}

TEST_F(Form1Test, AltXLaunchesTheRemovalMinimisedAndCloses)
{
    Click(Option2Id(1));
    AltPress(L'x');
    EXPECT_EQ(form_.Window(), nullptr);
    EXPECT_EQ(quitCode_, 0);
    const auto records = log_.WaitFor(1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].commandLine, RemovalCommandLine());
    EXPECT_EQ(records[0].show, SW_SHOWMINIMIZED);
}

TEST_F(Form1Test, AltNLaunchesTheInstallForTheChosenPortFromTheSystemFolder)
{
    // A rundll32.exe beside the program and in the current folder is ignored.
    const std::wstring planted = ApplicationFolder() + L"\\rundll32.exe";
    ASSERT_TRUE(::CopyFileW(SystemRundll32Path().c_str(), planted.c_str(), FALSE));
    ::SetCurrentDirectoryW(ApplicationFolder().c_str());

    Click(Option2Id(1));
    AltPress(L'n');
    EXPECT_EQ(form_.Window(), nullptr);
    EXPECT_EQ(quitCode_, 0);
    const auto records = log_.WaitFor(1);
    ::DeleteFileW(planted.c_str());
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].commandLine, InstallCommandLine(ApplicationFolder(), L"LPT2:"));
    EXPECT_EQ(records[0].show, SW_SHOWMINIMIZED);
    EXPECT_EQ(::CompareStringOrdinal(records[0].image.c_str(), -1, (SystemFolder() + L"\\rundll32.exe").c_str(), -1, TRUE), CSTR_EQUAL)
        << testing::Narrow(records[0].image);
}

TEST_F(Form1Test, EnterPressesTheFocusedButton)
{
    Press(VK_RETURN);  // Next holds the focus at start
    EXPECT_EQ(form_.Window(), nullptr);
    auto records = log_.WaitFor(1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].commandLine, InstallCommandLine(ApplicationFolder(), L"COM1:"));
}

TEST_F(Form1Test, EnterOnDeleteRemovesTheDriver)
{
    Press(VK_TAB);
    ASSERT_EQ(::GetFocus(), Item(kCmdDelete));
    Press(VK_RETURN);
    EXPECT_EQ(form_.Window(), nullptr);
    const auto records = log_.WaitFor(1);
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].commandLine, RemovalCommandLine());
}

void SetPortsValue(const wchar_t* name, const wchar_t* value)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKeyPath, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>((::lstrlenW(value) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

class Form1PortsTest : public Form1Test {
protected:
    // Chooses an entry of a list as the operator's pick would.
    void Choose(int list, int entry)
    {
        ::SendMessageW(Item(Combo1Id(list)), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    }

    // Presses Next and gives what changed in the Ports key.
    std::map<std::wstring, std::wstring> NextAndChanges()
    {
        const auto before = testing::PortsValues();
        Click(kCommand1);
        EXPECT_EQ(form_.Window(), nullptr);
        EXPECT_EQ(log_.WaitFor(1).size(), 1U);
        const auto after = testing::PortsValues();
        std::map<std::wstring, std::wstring> changes;
        for (const auto& [name, value] : after) {
            const auto old = before.find(name);
            if (old == before.end() || old->second != value) {
                changes[name] = value;
            }
        }
        for (const auto& [name, value] : before) {
            EXPECT_EQ(after.count(name), 1U) << testing::Narrow(name);
        }
        return changes;
    }
};

using Changes = std::map<std::wstring, std::wstring>;

TEST_F(Form1PortsTest, NextStoresTheDefaultsUnderTheChosenPortOnly)
{
    SetPortsValue(L"COM1:", L"1200,e,7,2");
    EXPECT_EQ(NextAndChanges(), (Changes{{L"COM1:", L"9600,n,8,1"}}));
}

TEST_F(Form1PortsTest, NextStoresEveryChosenSetting)
{
    SetPortsValue(L"COM3:", L"9600,n,8,1");
    Click(Option1Id(2));
    Choose(0, 10);  // 115200
    Choose(1, 3);   // 7 data bits
    Choose(2, 0);   // Even
    Choose(3, 2);   // 2 stop bits
    Choose(4, 0);   // Xon/Xoff
    EXPECT_EQ(NextAndChanges(), (Changes{{L"COM3:", L"115200,e,7,2,x"}}));
}

TEST_F(Form1PortsTest, HardwareFlowControlAndHalfStopBits)
{
    SetPortsValue(L"COM2:", L"9600,n,8,1");
    Click(Option1Id(1));
    Choose(0, 7);  // 19200
    Choose(3, 1);  // 1.5
    Choose(4, 1);  // Hardware
    EXPECT_EQ(NextAndChanges(), (Changes{{L"COM2:", L"19200,n,8,1.5,p"}}));
}

TEST_F(Form1PortsTest, AListWithNoChoiceLeavesAnEmptyField)
{
    SetPortsValue(L"COM4:", L"9600,n,8,1");
    Click(Option1Id(3));
    Choose(2, -1);
    EXPECT_EQ(NextAndChanges(), (Changes{{L"COM4:", L"9600,,8,1"}}));
}

TEST_F(Form1PortsTest, AParallelPortStoresNothing)
{
    Click(Option1Id(2));
    Choose(0, 0);
    Click(Option2Id(0));
    EXPECT_EQ(NextAndChanges(), Changes{});
}

// Moves the system's rundll32.exe away for the life of the object.
class MissingRundll32 {
public:
    MissingRundll32() : path_(SystemRundll32Path()), moved_(path_ + L".away")
    {
        moved_ok_ = ::MoveFileExW(path_.c_str(), moved_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    ~MissingRundll32()
    {
        if (moved_ok_) {
            ::MoveFileExW(moved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    MissingRundll32(const MissingRundll32&) = delete;
    MissingRundll32& operator=(const MissingRundll32&) = delete;
    [[nodiscard]] bool Moved() const { return moved_ok_; }

private:
    std::wstring path_;
    std::wstring moved_;
    bool moved_ok_ = false;
};

struct MessageBoxWatch {
    HWND dialog = nullptr;
    std::wstring text;
};

// Waits on its own thread for a message box other than the dialog, keeps
// its text and presses its button.
DWORD WINAPI AnswerMessageBox(void* parameter)
{
    auto* watch = static_cast<MessageBoxWatch*>(parameter);
    for (int attempt = 0; attempt < 400; ++attempt) {
        HWND box = nullptr;
        while ((box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
            if (box == watch->dialog || !::IsWindowVisible(box)) {
                continue;
            }
            watch->text = testing::MessageBoxText(box);
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        ::Sleep(50);
    }
    return 1;
}

TEST_F(Form1Test, AFailedLaunchIsReportedAndEndsWithTheErrorCode)
{
    const auto before = testing::PortsValues();
    const MissingRundll32 missing;
    ASSERT_TRUE(missing.Moved());

    MessageBoxWatch watch;
    watch.dialog = form_.Window();
    const HANDLE watcher = ::CreateThread(nullptr, 0, &AnswerMessageBox, &watch, 0, nullptr);
    ASSERT_NE(watcher, nullptr);
    Click(kCommand1);
    ::WaitForSingleObject(watcher, 30000);
    ::CloseHandle(watcher);

    EXPECT_NE(watch.text.find(SystemRundll32Path()), std::wstring::npos) << testing::Narrow(watch.text);
    EXPECT_NE(watch.text.find(SystemErrorText(ERROR_FILE_NOT_FOUND)), std::wstring::npos)
        << testing::Narrow(watch.text);
    EXPECT_EQ(form_.Window(), nullptr);
    EXPECT_EQ(form_.ExitCode(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(quitCode_, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(testing::PortsValues(), before);  // nothing after the launch ran
    EXPECT_TRUE(log_.Records().empty());
}

}  // namespace
}  // namespace portsetup
