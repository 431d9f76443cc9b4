#include "dialog/form1.hpp"

#include <algorithm>

#include "dialog/failure_report.hpp"
#include "dialog/form_layout.hpp"
#include "dialog/setting_list_control.hpp"
#include "driver/driver_setup.hpp"
#include "platform/dpi.hpp"
#include "resources/resource_ids.h"
#include "settings/setting_lists.hpp"

namespace portsetup {

namespace {

constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;

// A dialog with no controls of its own: they are made from the control table.
struct alignas(DWORD) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WORD title;
};

struct ControlClass {
    const wchar_t* className;
    DWORD style;
};

ControlClass ClassFor(const ControlSpec& control)
{
    switch (control.kind) {
    case ControlKind::PushButton:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP};
    case ControlKind::GroupBox:
        return {L"BUTTON", BS_GROUPBOX | WS_GROUP | WS_CLIPSIBLINGS};
    case ControlKind::RadioButton:
        // The six ports are one group for the keyboard, across their two
        // group boxes: the arrow keys go from COM4 to LPT1 and back, and Tab
        // stops only on the checked button, which has WS_TABSTOP from the
        // button itself. On an unchecked one, Windows would check it.
        return {L"BUTTON", BS_AUTORADIOBUTTON | (control.id == Option1Id(0) ? WS_GROUP | WS_TABSTOP : 0u)};
    case ControlKind::DropDownList:
        return {L"COMBOBOX",
                CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP | WS_GROUP};
    case ControlKind::Label:
        // A group of its own, so that the arrow keys never move onto it.
        return {L"STATIC", SS_RIGHT | SS_NOPREFIX | WS_GROUP};
    }
    return {L"STATIC", 0};
}

RECT PixelRect(const TwipsRect& twips, int dpi)
{
    const int left = TwipsToPixels(twips.left, dpi);
    const int top = TwipsToPixels(twips.top, dpi);
    return {left, top, TwipsToPixels(twips.left + twips.width, dpi), TwipsToPixels(twips.top + twips.height, dpi)};
}

constexpr UINT kDpiChangedMessage = 0x02E0;        // WM_DPICHANGED, from Windows 8.1 on
constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;  // WM_GETDPISCALEDSIZE, from Windows 10 1703 on

// The outer size of the window whose client area is the form's at a
// resolution.
SIZE FormWindowSize(int dpi)
{
    return WindowSizeFor({TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)}, kWindowStyle,
                         dpi);
}

}  // namespace

Form1::~Form1()
{
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

DWORD Form1::Create()
{
    EmptyDialogTemplate dialogTemplate{};
    dialogTemplate.header.style = kWindowStyle;
    const HWND window = ::CreateDialogIndirectParamW(instance_, &dialogTemplate.header, nullptr, &Form1::DialogProc,
                                                     reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        return ::GetLastError();
    }
    return ERROR_SUCCESS;
}

void Form1::Show()
{
    ::ShowWindow(window_, SW_SHOWNORMAL);
    if (::IsIconic(window_) || ::IsZoomed(window_)) {
        ::ShowWindow(window_, SW_RESTORE);
    }
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(kCommand1)), TRUE);
    ::UpdateWindow(window_);
}

bool Form1::PreTranslateMessage(MSG& message)
{
    if (window_ == nullptr || (message.hwnd != window_ && !::IsChild(window_, message.hwnd))) {
        return false;
    }
    // The dialog manager would take a bare letter typed on a button as that
    // button's mnemonic; only Alt with the letter presses a button here.
    if (message.message == WM_CHAR && message.wParam >= L' ' &&
        (::SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)) &
         (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) == 0) {
        return true;
    }
    return ::IsDialogMessageW(window_, &message) != FALSE;
}

int Form1::RunMessageLoop()
{
    MSG message{};
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        if (!PreTranslateMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : exitCode_;
}

HWND Form1::Control(int id) const noexcept
{
    return window_ != nullptr ? ::GetDlgItem(window_, id) : nullptr;
}

INT_PTR CALLBACK Form1::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* form = reinterpret_cast<Form1*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        form->window_ = window;
    }
    auto* form = reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return FALSE;
    }
    const INT_PTR result = form->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
    }
    return result;
}

INT_PTR Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        KeepDialogFromRescaling(window_);  // the form lays itself out at a new resolution
        CreateControls();
        Form_Load();
        return FALSE;  // Show() places the focus
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_MEASUREITEM:
        MeasureListItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        DrawListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case kGetDpiScaledSizeMessage:
        // Our own size at the new resolution, not one scaled from the old.
        *reinterpret_cast<SIZE*>(lParam) = FormWindowSize(LOWORD(wParam));
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case kDpiChangedMessage: {
        // The old font and icons go only once nothing holds them any more.
        const DpiResources previous = UseDpi(LOWORD(wParam));
        LayOut();
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        FitWindowToForm(suggested.left, suggested.top, 0);
        return TRUE;
    }
    case WM_SETCURSOR:
        if (!waiting_) {
            return FALSE;
        }
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CLOSE:
        if (!waiting_) {
            Unload();
        }
        return TRUE;
    case WM_DESTROY:
        ::PostQuitMessage(exitCode_);
        return TRUE;
    default:
        return FALSE;
    }
}

void Form1::CreateControls()
{
    ::SetWindowTextW(window_, kFormCaption);
    UseDpi(WindowDpi(window_));
    const auto font = reinterpret_cast<WPARAM>(font_.get());
    // Made in place, each a server round trip fewer than moving it there.
    for (const ControlSpec* control : ControlsInCreationOrder()) {
        const ControlClass controlClass = ClassFor(*control);
        const RECT bounds = Placement(*control);
        const HWND child =
            ::CreateWindowExW(0, controlClass.className, control->caption != nullptr ? control->caption : L"",
                              WS_CHILD | WS_VISIBLE | controlClass.style, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->id)), instance_, nullptr);
        ::SendMessageW(child, WM_SETFONT, font, FALSE);
        if (control->kind == ControlKind::DropDownList) {
            SpeakDisplayTexts(child);
        }
    }
    SizeListFields();
    ::SendMessageW(Control(Option1Id(0)), BM_SETCHECK, BST_CHECKED, 0);
    FitWindowToForm(0, 0, SWP_NOMOVE);
}

void Form1::FitWindowToForm(int left, int top, UINT flags) const
{
    const SIZE size = FormWindowSize(dpi_);
    ::SetWindowPos(window_, nullptr, left, top, size.cx, size.cy, flags | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame drawn can differ from the one computed for the resolution (a
    // system that does not redraw it at the new one): the client area decides.
    RECT client{};
    ::GetClientRect(window_, &client);
    const int width = size.cx + TwipsToPixels(kClientWidthTwips, dpi_) - client.right;
    const int height = size.cy + TwipsToPixels(kClientHeightTwips, dpi_) - client.bottom;
    if (width != size.cx || height != size.cy) {
        ::SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Form1::DpiResources Form1::UseDpi(int dpi)
{
    DpiResources previous{std::move(font_), std::move(bigIcon_), std::move(smallIcon_)};
    dpi_ = dpi;
    font_.reset(CreateDialogFont(dpi));
    lineHeight_ = MeasureText(window_, static_cast<HFONT>(font_.get()), L"").lineHeight;
    const int iconSize = MetricForDpi(SM_CXICON, dpi);
    const int smallIconSize = MetricForDpi(SM_CXSMICON, dpi);
    bigIcon_.reset(static_cast<HICON>(
        ::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON, iconSize, iconSize, 0)));
    smallIcon_.reset(static_cast<HICON>(
        ::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON, smallIconSize, smallIconSize, 0)));
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    return previous;
}

RECT Form1::Placement(const ControlSpec& control) const
{
    RECT bounds = PixelRect(ClientBounds(control), dpi_);
    if (control.kind == ControlKind::Label) {
        // Right-aligned and sized to the caption, never shorter than a line:
        // a font larger than the one the table was drawn with widens a label
        // to the left and makes it taller.
        const TextExtent text = MeasureText(window_, static_cast<HFONT>(font_.get()), control.caption);
        bounds.left = std::min(bounds.left, bounds.right - text.width);
        bounds.bottom = std::max(bounds.bottom, bounds.top + text.lineHeight);
    } else if (control.kind == ControlKind::DropDownList) {
        // A combo box's height includes its drop-down part: room for every entry.
        const auto entries = static_cast<int>(kSettingLists[static_cast<std::size_t>(control.index)].entries.size());
        bounds.bottom += (entries + 1) * (lineHeight_ + 2);
    }
    return bounds;
}

void Form1::SizeListFields() const
{
    // The closed list is as tall as the table says; its selection field is
    // what is left inside the borders, which are the same for every list.
    const HWND first = Control(Combo1Id(0));
    ::SendMessageW(first, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), lineHeight_);
    RECT closed{};
    ::GetWindowRect(first, &closed);
    const int borders = static_cast<int>(closed.bottom - closed.top) - lineHeight_;
    for (int i = 0; i < kSettingListCount; ++i) {
        const RECT table = PixelRect(ClientBounds(*FindControl(Combo1Id(i))), dpi_);
        const auto height = static_cast<int>(table.bottom - table.top);
        ::SendMessageW(Control(Combo1Id(i)), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                       std::max(lineHeight_, height - borders));
    }
}

void Form1::LayOut()
{
    const auto font = reinterpret_cast<WPARAM>(font_.get());
    for (const ControlSpec& control : kFormControls) {
        const HWND child = Control(control.id);
        const RECT bounds = Placement(control);
        ::SendMessageW(child, WM_SETFONT, font, FALSE);
        ::SetWindowPos(child, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (control.kind == ControlKind::DropDownList) {
            ::SendMessageW(child, CB_SETITEMHEIGHT, 0, lineHeight_ + 2);
        }
    }
    SizeListFields();
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::OnCommand(int id, int notification)
{
    if (notification != BN_CLICKED) {
        return;
    }
    const bool portButton = (id >= Option1Id(0) && id < Option1Id(kOfferedSerialPortCount)) ||
                            (id >= Option2Id(0) && id < Option2Id(kOfferedParallelPortCount));
    // A port is chosen when its button is checked: a button can also report
    // a click while it is not (on a focus change, where the system notifies
    // without checking it).
    if (portButton && ::SendMessageW(Control(id), BM_GETCHECK, 0, 0) != BST_CHECKED) {
        return;
    }
    if (id >= Option1Id(0) && id < Option1Id(kOfferedSerialPortCount)) {
        Option1_Click(id - Option1Id(0));
    } else if (id >= Option2Id(0) && id < Option2Id(kOfferedParallelPortCount)) {
        Option2_Click(id - Option2Id(0));
    } else if (id == kCommand1) {
        Command1_Click();
    } else if (id == kCmdDelete) {
        cmdDelete_Click();
    }
    // IDOK and IDCANCEL (Enter and Escape away from a button) are ignored.
}

void Form1::MeasureListItem(MEASUREITEMSTRUCT& item) const
{
    if (item.CtlType != ODT_COMBOBOX) {
        return;
    }
    item.itemHeight = static_cast<UINT>(lineHeight_ + 2);  // the field is sized by SizeListFields
}

void Form1::DrawListItem(const DRAWITEMSTRUCT& item) const
{
    if (item.CtlType != ODT_COMBOBOX) {
        return;
    }
    const std::wstring text = item.itemID != static_cast<UINT>(-1) ? ListItemText(item.hwndItem, item.itemID) : L"";
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    // A disabled list shows its field in the colours of a disabled control.
    const int background = disabled ? COLOR_BTNFACE : (selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const int foreground = disabled ? COLOR_GRAYTEXT : (selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);

    const int savedState = ::SaveDC(item.hDC);
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(background));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(foreground));
    // Only the display text: the code after the spaces is for the Ports value.
    const std::wstring_view display = DisplayTextOf(text);
    RECT textRect = item.rcItem;
    textRect.left += 2;
    ::DrawTextW(item.hDC, display.data(), static_cast<int>(display.size()), &textRect,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        ::DrawFocusRect(item.hDC, &item.rcItem);
    }
    ::RestoreDC(item.hDC, savedState);
}

void Form1::Form_Load()
{
    RECT outer{};
    ::GetWindowRect(window_, &outer);
    const int left = CentredOrigin(::GetSystemMetrics(SM_CXSCREEN), outer.right - outer.left);
    const int top = CentredOrigin(::GetSystemMetrics(SM_CYSCREEN), outer.bottom - outer.top);
    ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FillSettingLists();
}

void Form1::Option1_Click(int /*index*/)
{
    for (int i = 0; i < kOfferedParallelPortCount; ++i) {
        ::SendMessageW(Control(Option2Id(i)), BM_SETCHECK, BST_UNCHECKED, 0);
    }
    EnablePropertiesGroup(true);
}

void Form1::Option2_Click(int /*index*/)
{
    for (int i = 0; i < kOfferedSerialPortCount; ++i) {
        ::SendMessageW(Control(Option1Id(i)), BM_SETCHECK, BST_UNCHECKED, 0);
    }
    EnablePropertiesGroup(false);
}

template <typename Step>
SetupResult Form1::WhileWaiting(Step step)
{
    // Painted and answering throughout, but taking no input.
    waiting_ = true;
    const int controls[] = {kCommand1,    kCmdDelete,   Option1Id(0), Option1Id(1),
                            Option1Id(2), Option1Id(3), Option2Id(0), Option2Id(1)};
    for (const int id : controls) {
        ::EnableWindow(Control(id), FALSE);
    }
    ::EnableWindow(window_, FALSE);
    const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    SetupResult result = step();
    ::SetCursor(previous);
    ::EnableWindow(window_, TRUE);
    for (const int id : controls) {
        ::EnableWindow(Control(id), TRUE);
    }
    waiting_ = false;
    return result;
}

void Form1::Command1_Click()
{
    const InstallOrder order{std::wstring(SelectedPort(ButtonStates())), PortSettingsValue()};
    UnreadReport unread;
    if (!ReportFailureAndUnload(WhileWaiting([&] { return InstallPrinter(order, &WaitAnsweringMessages, unread); }))) {
        Unload();
    }
}

void Form1::cmdDelete_Click()
{
    UnreadReport unread;
    if (!ReportFailureAndUnload(WhileWaiting([&] { return RemovePrinter({}, &WaitAnsweringMessages, unread); }))) {
        Unload();
    }
}

void Form1::FillSettingLists()
{
    for (int i = 0; i < kSettingListCount; ++i) {
        const HWND list = Control(Combo1Id(i));
        const SettingList& settings = kSettingLists[static_cast<std::size_t>(i)];
        ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const SettingEntry& entry : settings.entries) {
            const std::wstring item = MakeSettingItem(entry);
            ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(settings.defaultIndex), 0);
    }
}

std::wstring Form1::PortSettingsValue() const
{
    if (!::IsWindowEnabled(Control(kPropertiesFrame)) || SelectedComPort(ButtonStates()).empty()) {
        return {};  // a parallel port: nothing to store
    }
    const SelectedCodes codes{ExtractCode(ListText(0)), ExtractCode(ListText(1)), ExtractCode(ListText(2)),
                              ExtractCode(ListText(3)), ExtractCode(ListText(4))};
    return ComposePortSettingsValue(codes);
}

void Form1::Unload()
{
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

PortButtonStates Form1::ButtonStates() const
{
    PortButtonStates states{};
    for (std::size_t i = 0; i < kPortButtons.size(); ++i) {
        states[i] = ::SendMessageW(Control(kPortButtons[i].controlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    return states;
}

void Form1::EnablePropertiesGroup(bool enable) const
{
    ::EnableWindow(Control(kPropertiesFrame), enable ? TRUE : FALSE);
    for (const ControlSpec* member : MembersOf(kPropertiesFrame)) {
        ::EnableWindow(Control(member->id), enable ? TRUE : FALSE);
    }
}

std::wstring Form1::ListText(int index) const
{
    const HWND list = Control(Combo1Id(index));
    const LRESULT selected = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? std::wstring() : ListItemText(list, static_cast<WPARAM>(selected));
}

bool Form1::ReportFailureAndUnload(const SetupResult& result)
{
    if (result.error == ERROR_SUCCESS) {
        return false;
    }
    exitCode_ = static_cast<int>(result.error);
    const std::wstring message = FailureReport(result);
    ::MessageBoxW(window_, message.c_str(), kFormCaption, MB_OK | MB_ICONERROR);
    Unload();
    return true;
}

}  // namespace portsetup
