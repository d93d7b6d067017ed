// Drives the real setup.exe's wizard from outside, as a user would: the tests
// talk to it over standard input and output, one command a line.
//
// Input: one command per line, its fields separated by TAB characters (UTF-8).
// Output: the reply as "key=value" lines (UTF-8), ended by a line holding ".".
// Backslash, CR, LF and TAB inside values are written as \\ \r \n \t.
// A failed command prints "error=..." in its reply.
//
//   start CWD CMDLINE     CreateProcessW with exactly CMDLINE in folder CWD; waits
//                         for the sheet with its first page, or a message box
//   state                 title, page (template id), index, the wizard buttons,
//                         whether a message box is open
//   controls              every control of the page shown: class, text, check,
//                         enabled, visible ("<id>.<what>=...")
//   click WHAT            WHAT: back, next, cancel or a control id of the page
//                         shown; refused for a hidden or disabled control.
//                         Posted, so a click that opens a message box returns.
//   tick ID 0|1           clicks box or radio ID when its state differs
//   settext ID TEXT       sets the text of control ID of the page shown
//   close                 the close box (WM_SYSCOMMAND SC_CLOSE), posted
//   escape                the Escape key on the control that has the focus
//   lv                    the file-type list: count, enabled, colours, extended
//                         style, column widths, state image index of every row
//   lvtext ROW SUB        a list cell's text
//   lvtick ROW 0|1        sets a row's check box (state image 2 or 1)
//   box [MS]              waits up to MS ms for a message box: its caption, text,
//                         buttons and default button; "found=0" when none came
//   dialog [MS]           waits for another dialog (the folder browser): caption
//   press ID              a mouse click on control ID of the page shown
//   answer yes|no|ok|cancel|ID   presses a button of the open message box
//                         (or of the other dialog)
//   waitpage ID [MS]      waits until the page from template ID is shown and no
//                         message box is open
//   rect [box]            the sheet's (or the message box's) rectangle on the screen
//   movebox X Y           moves the open message box to X, Y
//   activate              brings the sheet to the front as the active window
//   waitexit [MS]         waits for setup.exe to end: "exit=N", else "running=1"
//   viewer-start EXE      starts the viewer and waits for its window
//   viewer-close          closes every viewer window
//   viewer                whether a viewer window exists
//   regvalue KEY NAME     a registry value (KEY starts with HKLM, HKCU or HKCR;
//                         NAME empty for the default value): "found", "type",
//                         "data" (texts and numbers)
//   regkey KEY            whether a registry key exists
//   regset KEY NAME sz|dword DATA   writes a registry value (the key is created)
//   regdel KEY NAME       deletes a registry value
//   folder CSIDL          a shell folder's path
//   send ID MSG WPARAM LPARAM   sends a message without pointers to control ID of
//                         the page shown (numbers, 0x for hexadecimal): "result"
//   sleep MS
//   quit
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include "resources/resource.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kBack = 0x3023;
constexpr int kNext = 0x3024;
constexpr int kFinish = 0x3025;
constexpr int kBoxText = 0xFFFF;
constexpr DWORD kSettleMs = 30000;

std::wstring Wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr,
                        nullptr);
    return s;
}

std::string Escape(const std::wstring& value) {
    std::wstring out;
    for (wchar_t c : value) {
        switch (c) {
        case L'\\':
            out += L"\\\\";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\t':
            out += L"\\t";
            break;
        default:
            out += c;
        }
    }
    return Utf8(out);
}

void Write(const std::string& bytes) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

void Put(const std::string& key, const std::wstring& value) {
    Write(key + "=" + Escape(value) + "\n");
}

void Put(const std::string& key, long long value) {
    Write(key + "=" + std::to_string(value) + "\n");
}

void PutHex(const std::string& key, unsigned long long value) {
    char buf[32];
    snprintf(buf, sizeof buf, "0x%llX", value);
    Write(key + "=" + buf + "\n");
}

bool ReadLine(std::string& line) {
    line.clear();
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        char c;
        DWORD got = 0;
        if (!ReadFile(in, &c, 1, &got, nullptr) || got == 0)
            return !line.empty();
        if (c == '\n')
            return true;
        if (c != '\r')
            line += c;
    }
}

std::vector<std::wstring> Split(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find(L'\t', start);
        fields.push_back(line.substr(start, tab == std::wstring::npos ? tab : tab - start));
        if (tab == std::wstring::npos)
            return fields;
        start = tab + 1;
    }
}

std::wstring ClassOf(HWND window) {
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    return cls;
}

// WM_GETTEXT through a timeout, so a hung target never hangs the driver.
std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_NORMAL, 5000, &got);
    text.resize(got);
    return text;
}

LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}

bool Within(DWORD startTick, DWORD ms) {
    return GetTickCount() - startTick < ms;
}

class Session {
  public:
    ~Session() {
        if (process_)
            CloseHandle(process_);
    }

    void Run(const std::vector<std::wstring>& f) {
        const std::wstring& cmd = f[0];
        size_t n = f.size();
        if (cmd == L"start" && n == 3)
            Start(f[1], f[2]);
        else if (cmd == L"state")
            State();
        else if (cmd == L"controls")
            Controls();
        else if (cmd == L"click" && n == 2)
            Click(f[1]);
        else if (cmd == L"tick" && n == 3)
            Tick(_wtoi(f[1].c_str()), f[2] == L"1");
        else if (cmd == L"settext" && n == 3)
            SetText(_wtoi(f[1].c_str()), f[2]);
        else if (cmd == L"close")
            PostAndSettle(sheet_, WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (cmd == L"escape")
            Escape();
        else if (cmd == L"lv")
            ListState();
        else if (cmd == L"lvtext" && n == 3)
            ListText(_wtoi(f[1].c_str()), _wtoi(f[2].c_str()));
        else if (cmd == L"lvtick" && n == 3)
            ListTick(_wtoi(f[1].c_str()), f[2] == L"1");
        else if (cmd == L"box")
            Box(n > 1 ? static_cast<DWORD>(_wtoi(f[1].c_str())) : 5000);
        else if (cmd == L"dialog")
            Dialog(n > 1 ? static_cast<DWORD>(_wtoi(f[1].c_str())) : 5000);
        else if (cmd == L"press" && n == 2)
            Press(_wtoi(f[1].c_str()));
        else if (cmd == L"answer" && n == 2)
            Answer(f[1]);
        else if (cmd == L"waitpage" && n >= 2)
            WaitPage(_wtoi(f[1].c_str()), n > 2 ? static_cast<DWORD>(_wtoi(f[2].c_str())) : 10000);
        else if (cmd == L"rect")
            Rect(n > 1 && f[1] == L"box");
        else if (cmd == L"activate")
            Activate();
        else if (cmd == L"movebox" && n == 3)
            MoveBox(_wtoi(f[1].c_str()), _wtoi(f[2].c_str()));
        else if (cmd == L"waitexit")
            WaitExit(n > 1 ? static_cast<DWORD>(_wtoi(f[1].c_str())) : 15000);
        else if (cmd == L"viewer-start" && n == 2)
            ViewerStart(f[1]);
        else if (cmd == L"viewer-close")
            ViewerClose();
        else if (cmd == L"viewer")
            Put("viewer", FindWindowW(L"Pellumbra", nullptr) ? 1 : 0);
        else if (cmd == L"regvalue" && n == 3)
            RegValue(f[1], f[2]);
        else if (cmd == L"regkey" && n == 2)
            RegKey(f[1]);
        else if (cmd == L"regset" && n == 5)
            RegSet(f[1], f[2], f[3], f[4]);
        else if (cmd == L"regdel" && n == 3)
            RegDelete(f[1], f[2]);
        else if (cmd == L"folder" && n == 2)
            Folder(_wtoi(f[1].c_str()));
        else if (cmd == L"send" && n == 5)
            SendToControl(f[1], f[2], f[3], f[4]);
        else if (cmd == L"sleep" && n == 2)
            Sleep(static_cast<DWORD>(_wtoi(f[1].c_str())));
        else
            Put("error", L"unknown command or wrong field count: " + cmd);
    }

  private:
    struct Found {
        DWORD pid;
        HWND sheet;
        HWND box;
        HWND dialog; // another dialog, such as the folder browser
    };

    static BOOL CALLBACK EnumTop(HWND window, LPARAM lParam) {
        Found* found = reinterpret_cast<Found*>(lParam);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != found->pid || !IsWindowVisible(window) || ClassOf(window) != L"#32770")
            return TRUE;
        if (GetDlgItem(window, kNext))
            found->sheet = window;
        else if (GetDlgItem(window, kBoxText))
            found->box = window;
        else
            found->dialog = window;
        return TRUE;
    }

    // The sheet and an open message box of setup.exe, found by its process.
    Found Scan() const {
        Found found = {pid_, nullptr, nullptr, nullptr};
        if (pid_)
            EnumWindows(EnumTop, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    HWND CurrentPage() const {
        if (!sheet_ || !IsWindow(sheet_))
            return nullptr;
        return reinterpret_cast<HWND>(Send(sheet_, PSM_GETCURRENTPAGEHWND));
    }

    // The page's template, told by the controls only that page has.
    static int TemplateOf(HWND page) {
        if (!page)
            return 0;
        if (GetDlgItem(page, IDC_WELCOME_HEADING))
            return IDD_WELCOME;
        if (GetDlgItem(page, IDC_FILETYPE_LIST))
            return IDD_FILETYPES;
        if (GetDlgItem(page, IDC_READY_HEADING))
            return IDD_READY;
        if (GetDlgItem(page, IDC_FINISH_HEADING))
            return IDD_FINISH;
        if (GetDlgItem(page, IDC_FOLDER))
            return IDD_WHATSNEW;
        return -1;
    }

    bool Alive() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

    // The sheet may show only after a message box of the first page's set-up.
    void Refresh() {
        if (sheet_ && IsWindow(sheet_))
            return;
        sheet_ = Scan().sheet;
    }

    bool NeedSheet() {
        Refresh();
        if (sheet_ && IsWindow(sheet_))
            return true;
        Put("error", L"no wizard window");
        return false;
    }

    // Lets setup.exe take what was posted to it: its thread answers a sent
    // message only when it is back in a message loop (its own, a modal box's,
    // or after the installation).
    void Settle() const {
        for (int i = 0; i < 2; ++i) {
            Sleep(30);
            if (!sheet_ || !IsWindow(sheet_))
                return;
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(sheet_, WM_NULL, 0, 0, SMTO_NORMAL, kSettleMs, &ignored);
        }
    }

    void PostAndSettle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (!NeedSheet())
            return;
        PostMessageW(window, msg, wParam, lParam);
        Settle();
        Put("ok", 1);
    }

    void Start(const std::wstring& cwd, const std::wstring& commandLine) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::wstring line = commandLine;
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                            cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
            Put("error", L"CreateProcessW failed");
            return;
        }
        CloseHandle(pi.hThread);
        if (process_)
            CloseHandle(process_);
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
        sheet_ = nullptr;
        Put("pid", pid_);
        DWORD start = GetTickCount();
        while (Within(start, 20000)) {
            Found found = Scan();
            if (found.sheet &&
                TemplateOf(reinterpret_cast<HWND>(Send(found.sheet, PSM_GETCURRENTPAGEHWND))) > 0)
                sheet_ = found.sheet;
            if (sheet_ || found.box) {
                if (found.sheet)
                    sheet_ = found.sheet;
                Settle();
                Put("sheet", sheet_ ? 1 : 0);
                Put("box", found.box ? 1 : 0);
                return;
            }
            if (!Alive()) {
                Put("error", L"setup.exe ended without a window");
                return;
            }
            Sleep(50);
        }
        Put("error", L"no wizard window within 20 s");
    }

    void Button(const std::string& name, HWND button) {
        Put(name + ".exists", button ? 1 : 0);
        if (!button)
            return;
        Put(name + ".text", TextOf(button));
        Put(name + ".enabled", IsWindowEnabled(button) ? 1 : 0);
        Put(name + ".visible", IsWindowVisible(button) ? 1 : 0);
    }

    void State() {
        Found found = Scan();
        Refresh();
        Put("alive", Alive() ? 1 : 0);
        Put("box", found.box ? 1 : 0);
        if (!sheet_ || !IsWindow(sheet_)) {
            Put("sheet", 0);
            return;
        }
        Put("sheet", 1);
        Put("title", TextOf(sheet_));
        HWND page = CurrentPage();
        Put("page", TemplateOf(page));
        Put("index", Send(sheet_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page)));
        Button("back", GetDlgItem(sheet_, kBack));
        Button("next", GetDlgItem(sheet_, kNext));
        Button("cancel", GetDlgItem(sheet_, IDCANCEL));
        Button("finish", GetDlgItem(sheet_, kFinish));
    }

    static BOOL CALLBACK EnumControl(HWND control, LPARAM lParam) {
        HWND page = reinterpret_cast<HWND>(lParam);
        if (GetParent(control) != page)
            return TRUE;
        int id = GetDlgCtrlID(control);
        if (id == -1 || id == 0xFFFF)
            return TRUE; // the unnamed texts and pictures
        std::string key = std::to_string(id);
        std::wstring cls = ClassOf(control);
        Put(key + ".class", cls);
        Put(key + ".text", TextOf(control));
        Put(key + ".enabled", IsWindowEnabled(control) ? 1 : 0);
        Put(key + ".visible", IsWindowVisible(control) ? 1 : 0);
        if (lstrcmpiW(cls.c_str(), L"Button") == 0)
            Put(key + ".check", Send(control, BM_GETCHECK));
        return TRUE;
    }

    void Controls() {
        if (!NeedSheet())
            return;
        HWND page = CurrentPage();
        Put("page", TemplateOf(page));
        if (page)
            EnumChildWindows(page, EnumControl, reinterpret_cast<LPARAM>(page));
    }

    HWND Control(const std::wstring& what) {
        if (!NeedSheet())
            return nullptr;
        HWND control = nullptr;
        if (what == L"back")
            control = GetDlgItem(sheet_, kBack);
        else if (what == L"next")
            control = GetDlgItem(sheet_, kNext);
        else if (what == L"cancel")
            control = GetDlgItem(sheet_, IDCANCEL);
        else if (HWND page = CurrentPage())
            control = GetDlgItem(page, _wtoi(what.c_str()));
        if (!control)
            Put("error", L"no control " + what);
        return control;
    }

    // A click only where a user could click: Wine's BM_CLICK would fire on a
    // disabled or hidden button too.
    void Click(const std::wstring& what) {
        HWND control = Control(what);
        if (!control)
            return;
        if (!IsWindowVisible(control) || !IsWindowEnabled(control)) {
            Put("error", L"not clickable: " + what);
            return;
        }
        PostAndSettle(control, BM_CLICK, 0, 0);
    }

    void Tick(int id, bool ticked) {
        HWND control = Control(std::to_wstring(id));
        if (!control)
            return;
        if ((Send(control, BM_GETCHECK) == BST_CHECKED) != ticked)
            Click(std::to_wstring(id));
        else
            Put("ok", 1);
    }

    void SetText(int id, const std::wstring& text) {
        HWND control = Control(std::to_wstring(id));
        if (!control)
            return;
        DWORD_PTR result = 0;
        SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_NORMAL, 5000, &result);
        Put("ok", result ? 1 : 0);
    }

    void Escape() {
        if (!NeedSheet())
            return;
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        DWORD thread = GetWindowThreadProcessId(sheet_, nullptr);
        HWND target = GetGUIThreadInfo(thread, &info) && info.hwndFocus ? info.hwndFocus : sheet_;
        PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        Settle();
        Put("ok", 1);
    }

    HWND List() {
        HWND page = CurrentPage();
        HWND list = page ? GetDlgItem(page, IDC_FILETYPE_LIST) : nullptr;
        if (!list)
            Put("error", L"the file-type page is not shown");
        return list;
    }

    void ListState() {
        if (!NeedSheet())
            return;
        HWND list = List();
        if (!list)
            return;
        int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT));
        Put("count", count);
        Put("enabled", IsWindowEnabled(list) ? 1 : 0);
        PutHex("bk", static_cast<unsigned long long>(Send(list, LVM_GETBKCOLOR)));
        PutHex("fg", static_cast<unsigned long long>(Send(list, LVM_GETTEXTCOLOR)));
        PutHex("exstyle",
               static_cast<unsigned long long>(Send(list, LVM_GETEXTENDEDLISTVIEWSTYLE)));
        Put("col0", Send(list, LVM_GETCOLUMNWIDTH, 0));
        Put("col1", Send(list, LVM_GETCOLUMNWIDTH, 1));
        RECT r = {};
        GetWindowRect(list, &r);
        Put("width", r.right - r.left);
        std::wstring states;
        for (int i = 0; i < count; ++i) {
            LRESULT state =
                Send(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK);
            states += static_cast<wchar_t>(L'0' + ((state & LVIS_STATEIMAGEMASK) >> 12));
        }
        Put("states", states);
    }

    // Memory inside setup.exe for the list-view messages that carry a pointer.
    struct Remote {
        HANDLE process;
        void* block;
        Remote(HANDLE p, size_t size)
            : process(p), block(VirtualAllocEx(p, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
        ~Remote() {
            if (block)
                VirtualFreeEx(process, block, 0, MEM_RELEASE);
        }
        Remote(const Remote&) = delete;
        Remote& operator=(const Remote&) = delete;
    };

    void ListText(int row, int sub) {
        if (!NeedSheet())
            return;
        HWND list = List();
        if (!list)
            return;
        constexpr int kChars = 512;
        Remote remote(process_, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
        if (!remote.block) {
            Put("error", L"VirtualAllocEx failed");
            return;
        }
        wchar_t* remoteText =
            reinterpret_cast<wchar_t*>(static_cast<char*>(remote.block) + sizeof(LVITEMW));
        LVITEMW item = {};
        item.iSubItem = sub;
        item.pszText = remoteText;
        item.cchTextMax = kChars;
        WriteProcessMemory(process_, remote.block, &item, sizeof item, nullptr);
        LRESULT length = Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                              reinterpret_cast<LPARAM>(remote.block));
        wchar_t text[kChars] = {};
        ReadProcessMemory(process_, remoteText, text, sizeof text, nullptr);
        text[kChars - 1] = 0;
        Put("length", length);
        Put("text", text);
    }

    void ListTick(int row, bool ticked) {
        if (!NeedSheet())
            return;
        HWND list = List();
        if (!list)
            return;
        if (!IsWindowEnabled(list)) {
            Put("error", L"the list is disabled");
            return;
        }
        Remote remote(process_, sizeof(LVITEMW));
        LVITEMW item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
        WriteProcessMemory(process_, remote.block, &item, sizeof item, nullptr);
        Put("ok", Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(remote.block)));
    }

    void Box(DWORD ms) {
        DWORD start = GetTickCount();
        HWND box = nullptr;
        for (;;) {
            box = Scan().box;
            if (box || !Within(start, ms))
                break;
            Sleep(50);
        }
        Put("found", box ? 1 : 0);
        if (!box)
            return;
        Put("caption", TextOf(box));
        Put("text", TextOf(GetDlgItem(box, kBoxText)));
        std::wstring buttons;
        int defaultId = 0;
        const int ids[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO};
        for (int id : ids) {
            HWND b = GetDlgItem(box, id);
            if (!b || !IsWindowVisible(b))
                continue;
            buttons += (buttons.empty() ? L"" : L",") + std::to_wstring(id);
            if ((GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                defaultId = id;
        }
        Put("buttons", buttons);
        // The default button: the one drawn as default (what Enter presses).
        Put("default", defaultId);
        HWND owner = GetWindow(box, GW_OWNER);
        Put("owner_is_sheet", owner && owner == sheet_ ? 1 : 0);
    }

    void SendToControl(const std::wstring& id, const std::wstring& msg, const std::wstring& wParam,
                       const std::wstring& lParam) {
        HWND control = Control(id);
        if (!control)
            return;
        auto number = [](const std::wstring& text) { return wcstoull(text.c_str(), nullptr, 0); };
        LRESULT result =
            Send(control, static_cast<UINT>(number(msg)), static_cast<WPARAM>(number(wParam)),
                 static_cast<LPARAM>(number(lParam)));
        Put("result", static_cast<long long>(result));
        Settle();
    }

    // A dialog of setup.exe that is neither the sheet nor a message box.
    void Dialog(DWORD ms) {
        DWORD start = GetTickCount();
        HWND dialog = nullptr;
        for (;;) {
            dialog = Scan().dialog;
            if (dialog || !Within(start, ms))
                break;
            Sleep(50);
        }
        Put("found", dialog ? 1 : 0);
        if (dialog)
            Put("caption", TextOf(dialog));
    }

    // A mouse click in the middle of a control of the page shown (for the
    // link, a static control, which has no BM_CLICK).
    void Press(int id) {
        HWND control = Control(std::to_wstring(id));
        if (!control)
            return;
        if (!IsWindowVisible(control) || !IsWindowEnabled(control)) {
            Put("error", L"not clickable: " + std::to_wstring(id));
            return;
        }
        RECT r = {};
        GetClientRect(control, &r);
        LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(control, WM_LBUTTONUP, 0, at);
        Settle();
        Put("ok", 1);
    }

    void Answer(const std::wstring& which) {
        Found found = Scan();
        HWND box = found.box ? found.box : found.dialog;
        if (!box) {
            Put("error", L"no message box or dialog");
            return;
        }
        int id = which == L"yes"      ? IDYES
                 : which == L"no"     ? IDNO
                 : which == L"ok"     ? IDOK
                 : which == L"cancel" ? IDCANCEL
                                      : _wtoi(which.c_str());
        HWND button = GetDlgItem(box, id);
        if (!button || !IsWindowVisible(button)) {
            Put("error", L"the box has no button " + which);
            return;
        }
        PostMessageW(button, BM_CLICK, 0, 0);
        DWORD start = GetTickCount();
        while (IsWindow(box) && Within(start, 10000))
            Sleep(20);
        Settle();
        Put("ok", IsWindow(box) ? 0 : 1);
    }

    void WaitPage(int templateId, DWORD ms) {
        DWORD start = GetTickCount();
        int page = 0;
        bool box = false;
        for (;;) {
            Found found = Scan();
            box = found.box != nullptr;
            Refresh();
            page = sheet_ && IsWindow(sheet_) ? TemplateOf(CurrentPage()) : 0;
            if ((page == templateId && !box) || !Within(start, ms))
                break;
            Sleep(30);
        }
        Put("page", page);
        Put("box", box ? 1 : 0);
        if (page != templateId || box)
            Put("error", L"page " + std::to_wstring(templateId) + L" not shown");
    }

    void Rect(bool box) {
        HWND window = box ? Scan().box : (NeedSheet() ? sheet_ : nullptr);
        if (!window) {
            if (box)
                Put("error", L"no message box");
            return;
        }
        RECT r = {};
        GetWindowRect(window, &r);
        Put("left", r.left);
        Put("top", r.top);
        Put("right", r.right);
        Put("bottom", r.bottom);
    }

    void Activate() {
        if (!NeedSheet())
            return;
        SetForegroundWindow(sheet_);
        Settle();
        Put("ok", GetForegroundWindow() == sheet_ ? 1 : 0);
    }

    // Moves the open message box, so that a picture of the sheet behind it
    // can be taken.
    void MoveBox(int x, int y) {
        HWND box = Scan().box;
        if (!box) {
            Put("error", L"no message box");
            return;
        }
        SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Settle();
        Put("ok", 1);
    }

    void WaitExit(DWORD ms) {
        if (!process_) {
            Put("error", L"nothing started");
            return;
        }
        if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) {
            Put("running", 1);
            return;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        Put("exit", code);
        sheet_ = nullptr;
    }

    void ViewerStart(const std::wstring& exe) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::wstring line = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi)) {
            Put("error", L"the viewer could not be started");
            return;
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        DWORD start = GetTickCount();
        while (!FindWindowW(L"Pellumbra", nullptr) && Within(start, 15000))
            Sleep(50);
        Put("viewer", FindWindowW(L"Pellumbra", nullptr) ? 1 : 0);
    }

    void ViewerClose() {
        DWORD start = GetTickCount();
        while (HWND w = FindWindowW(L"Pellumbra", nullptr)) {
            if (!Within(start, 10000)) {
                Put("error", L"a viewer window stays");
                return;
            }
            PostMessageW(w, WM_CLOSE, 0, 0);
            Sleep(50);
        }
        Put("ok", 1);
    }

    // Opens KEY ("HKLM\\...", "HKCU\\...", "HKCR\\...") in the 64-bit view.
    static HKEY OpenKey(const std::wstring& path, bool create = false) {
        size_t slash = path.find(L'\\');
        std::wstring root = path.substr(0, slash);
        std::wstring rest = slash == std::wstring::npos ? L"" : path.substr(slash + 1);
        HKEY base = root == L"HKLM"   ? HKEY_LOCAL_MACHINE
                    : root == L"HKCU" ? HKEY_CURRENT_USER
                    : root == L"HKCR" ? HKEY_CLASSES_ROOT
                                      : nullptr;
        HKEY key = nullptr;
        REGSAM access = (create ? KEY_ALL_ACCESS : KEY_READ) | KEY_WOW64_64KEY;
        LONG rc = ERROR_INVALID_HANDLE;
        if (base && create)
            rc = RegCreateKeyExW(base, rest.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr);
        else if (base)
            rc = RegOpenKeyExW(base, rest.c_str(), 0, access, &key);
        return rc == ERROR_SUCCESS ? key : nullptr;
    }

    void RegSet(const std::wstring& path, const std::wstring& name, const std::wstring& type,
                const std::wstring& data) {
        HKEY key = OpenKey(path, true);
        if (!key) {
            Put("error", L"cannot create " + path);
            return;
        }
        LONG rc = ERROR_INVALID_PARAMETER;
        if (type == L"sz") {
            rc = RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(data.c_str()),
                                static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        } else if (type == L"dword") {
            DWORD value = static_cast<DWORD>(_wtoi(data.c_str()));
            rc = RegSetValueExW(key, name.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&value), sizeof value);
        }
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS)
            Put("error", L"cannot write " + path + L" " + name);
        else
            Put("ok", 1);
    }

    void RegDelete(const std::wstring& path, const std::wstring& name) {
        HKEY key = OpenKey(path, true);
        LONG rc = key ? RegDeleteValueW(key, name.c_str()) : ERROR_FILE_NOT_FOUND;
        if (key)
            RegCloseKey(key);
        Put("ok", rc == ERROR_SUCCESS ? 1 : 0);
    }

    void RegKey(const std::wstring& path) {
        HKEY key = OpenKey(path);
        Put("exists", key ? 1 : 0);
        if (key)
            RegCloseKey(key);
    }

    void RegValue(const std::wstring& path, const std::wstring& name) {
        HKEY key = OpenKey(path);
        if (!key) {
            Put("found", 0);
            return;
        }
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        std::vector<BYTE> data(size + sizeof(wchar_t) * 2, 0);
        if (rc == ERROR_SUCCESS)
            rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        RegCloseKey(key);
        Put("found", rc == ERROR_SUCCESS ? 1 : 0);
        if (rc != ERROR_SUCCESS)
            return;
        Put("type", type);
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            Put("data", reinterpret_cast<const wchar_t*>(data.data()));
        else if (type == REG_DWORD && size == sizeof(DWORD))
            Put("data", *reinterpret_cast<const DWORD*>(data.data()));
    }

    void Folder(int csidl) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE))
            Put("folder", path);
        else
            Put("error", L"no shell folder " + std::to_wstring(csidl));
    }

    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND sheet_ = nullptr;
};

} // namespace

int wmain() {
    Session session;
    std::string line;
    while (ReadLine(line)) {
        if (line.empty())
            continue;
        std::vector<std::wstring> fields = Split(Wide(line));
        if (fields[0] == L"quit")
            break;
        session.Run(fields);
        Write(".\n");
    }
    return 0;
}
