#include "controls/hyperlink.h"

#include "controls/link_command.h"
#include "controls/static_layout.h"
#include "engine/text_buffer.h"

#include <shellapi.h>

#include <cstdint>

static_assert(kStaticCenter == SS_CENTER && kStaticRight == SS_RIGHT &&
                  kStaticCenterImage == SS_CENTERIMAGE,
              "static styles");

namespace {

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

HFONT ControlFontOrStock(HWND window) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    return font;
}

// The default value of an open key, always terminated. A value that cannot be
// read whole (missing, too long for the buffer) gives false.
bool ReadDefaultValue(HKEY key, wchar_t* buffer, std::size_t capacity) {
    buffer[0] = L'\0';
    LONG bytes = static_cast<LONG>((capacity - 1) * sizeof(wchar_t));
    if (RegQueryValueW(key, nullptr, buffer, &bytes) != ERROR_SUCCESS) {
        buffer[0] = L'\0';
        return false;
    }
    std::size_t chars = static_cast<std::size_t>(bytes) / sizeof(wchar_t);
    buffer[chars < capacity ? chars : capacity - 1] = L'\0';
    return true;
}

bool ReadClassesDefault(const wchar_t* subKey, wchar_t* buffer, std::size_t capacity) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    return ReadDefaultValue(key.get(), buffer, capacity);
}

} // namespace

// Runs as the control is attached to its dialog item.
void CHyperLink::OnAttach() {
    HWND window = Hwnd();
    LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, style | SS_NOTIFY);

    std::wstring caption = WindowText(window);
    if (Target.empty())
        Target = caption;
    if (caption.empty())
        SetWindowTextW(window, Target.c_str());

    LOGFONTW font = {};
    GetObjectW(ControlFontOrStock(window), sizeof(font), &font);
    PlainFont.reset(CreateFontIndirectW(&font));
    font.lfUnderline = 1;
    UnderlinedFont.reset(CreateFontIndirectW(&font));

    FitWindowToText();
    LoadHandCursor();
    SetUnderlineMode(UnderlineOnHover);
}

void CHyperLink::SetUnderlineMode(int mode) {
    if (mode == UnderlineMode)
        return;
    HWND window = Hwnd();
    if (window && IsWindow(window)) {
        HFONT font = mode == UnderlineAlways ? UnderlinedFont.get() : PlainFont.get();
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        InvalidateRect(window, nullptr, TRUE);
    }
    UnderlineMode = mode;
}

void CHyperLink::SetTarget(const wchar_t* target) {
    Target = target ? target : L"";
    if (Hwnd() && IsWindow(Hwnd()))
        FitWindowToText();
}

// Sizes the window to its caption as drawn underlined, keeping the edge (or
// centre) that the control's alignment styles name.
void CHyperLink::FitWindowToText() {
    HWND window = Hwnd();
    if (!window || !IsWindow(window) || !SizeToText)
        return;
    RECT outer;
    RECT inner;
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    ClientToScreen(window, reinterpret_cast<POINT*>(&inner.left));
    ClientToScreen(window, reinterpret_cast<POINT*>(&inner.right));
    if (HWND parent = GetParent(window)) {
        ScreenToClient(parent, reinterpret_cast<POINT*>(&outer.left));
        ScreenToClient(parent, reinterpret_cast<POINT*>(&outer.right));
        ScreenToClient(parent, reinterpret_cast<POINT*>(&inner.left));
        ScreenToClient(parent, reinterpret_cast<POINT*>(&inner.right));
    }

    std::wstring text = WindowText(window);
    SIZE extent = {0, 0};
    if (HDC dc = GetDC(window)) {
        HGDIOBJ previous = UnderlinedFont ? SelectObject(dc, UnderlinedFont.get()) : nullptr;
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        if (previous)
            SelectObject(dc, previous);
        ReleaseDC(window, dc);
    }
    long width = extent.cx + (outer.right - outer.left) - (inner.right - inner.left);
    long height = extent.cy + (outer.bottom - outer.top) - (inner.bottom - inner.top);

    LayoutBox box = FitBoxToText({outer.left, outer.top, outer.right, outer.bottom}, width, height,
                                 static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
    SetWindowPos(window, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_NOZORDER);
}

// The help program of the Windows folder carries a hand cursor (id 106). It is
// mapped as data only: nothing of it runs.
void CHyperLink::LoadHandCursor() {
    if (HandCursor)
        return;
    wchar_t path[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !AppendText(path, MAX_PATH, L"\\winhlp32.exe"))
        return;
    UniqueModule module(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module)
        return;
    if (HCURSOR cursor = LoadCursorW(module.get(), MAKEINTRESOURCEW(106)))
        HandCursor.reset(CopyIcon(cursor));
}

HBRUSH CHyperLink::OnReflectedCtlColor(HDC dc) {
    SetTextColor(dc, Hovering ? HoverColour : (Visited ? VisitedColour : NormalColour));
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool CHyperLink::OnReflectedCommand(UINT code) {
    if (code != STN_CLICKED)
        return false;
    OnClicked();
    return true;
}

LRESULT CHyperLink::OnEraseBackground(HDC dc) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    COLORREF previous = SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
    return TRUE;
}

LRESULT CHyperLink::OnMouseMove(UINT, POINT) {
    if (!Hovering) {
        HWND window = Hwnd();
        Hovering = 1;
        if (UnderlineMode == UnderlineOnHover)
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(UnderlinedFont.get()), TRUE);
        InvalidateRect(window, nullptr, TRUE);
        SetTimer(window, HoverTimerId, 100, nullptr);
    }
    return Default();
}

// Polls the mouse while hovering: the first tick that finds it outside ends
// the hover state.
LRESULT CHyperLink::OnTimer(UINT_PTR) {
    HWND window = Hwnd();
    DWORD position = GetMessagePos();
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ScreenToClient(window, &point);
    RECT client;
    GetClientRect(window, &client);
    if (!PtInRect(&client, point)) {
        Hovering = 0;
        KillTimer(window, HoverTimerId);
        if (UnderlineMode != UnderlineAlways)
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(PlainFont.get()), TRUE);
        client.bottom += 10;
        InvalidateRect(window, &client, TRUE);
    }
    return Default();
}

LRESULT CHyperLink::OnSetCursor(HWND, UINT, UINT) {
    if (!HandCursor)
        return FALSE;
    SetCursor(HandCursor.get());
    return TRUE;
}

// The window goes: its timer with it, and no hover state is left behind for
// a later window.
void CHyperLink::OnDestroy() {
    KillTimer(Hwnd(), HoverTimerId);
    Hovering = 0;
}

void CHyperLink::OnClicked() {
    Hovering = 0;
    UINT_PTR result = OpenTarget(Target.c_str());
    Visited = static_cast<std::int32_t>(static_cast<std::uint32_t>(result)) > 32 ? 1 : 0;
    if (!Visited)
        MessageBeep(MB_ICONEXCLAMATION);
    else if (Hwnd() && IsWindow(Hwnd()))
        InvalidateRect(Hwnd(), nullptr, TRUE);
}

// The shell first; when it cannot open the target, the open command that the
// registry names for ".htm" pages, run with the target appended. A registry
// value that cannot be read whole, or a command that would not fit its
// buffer, ends the attempt with the shell's failure.
UINT_PTR CHyperLink::OpenTarget(const wchar_t* target) {
    HINSTANCE shell = ShellExecuteW(GetDesktopWindow(), L"open", target, nullptr, nullptr, SW_SHOW);
    UINT_PTR result = reinterpret_cast<UINT_PTR>(shell);
    if (static_cast<std::uint32_t>(result) > 32)
        return result;

    wchar_t className[MAX_PATH];
    wchar_t keyPath[kLinkCommandCapacity];
    wchar_t registered[kLinkCommandCapacity];
    wchar_t command[kLinkCommandCapacity];
    if (!ReadClassesDefault(L".htm", className, MAX_PATH) ||
        !BuildOpenCommandKeyPath(className, keyPath, kLinkCommandCapacity) ||
        !ReadClassesDefault(keyPath, registered, kLinkCommandCapacity) ||
        !BuildOpenCommandLine(registered, target, command, kLinkCommandCapacity))
        return result;

    // Room for the longest conversion of every character (four bytes).
    char ansi[kLinkCommandCapacity * 4];
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, command, -1, ansi, sizeof(ansi), nullptr, nullptr) <=
        0)
        return result;
    return WinExec(ansi, SW_SHOW);
}
