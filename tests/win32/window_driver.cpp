// Drives quorvel.exe as its user would, from a process of its own, under Wine in Xvfb
// (scripts/wine-window-test.sh). Each window it opens is checked against its table in
// src/ui/window_tables.h; keys and mouse clicks are real X events (xdotool, started through
// Wine as a Unix program); the files the window writes are compared with quorvel-cli's.
//
// Usage: window_driver QUORVEL_EXE QUORVEL_CLI_EXE SAMPLES WORK [ROUND [PICTURES]]
// (Unix paths; WORK is an empty folder). Without a round every gesture is driven under
// Windows-1252; "cyrillic" drives a phrase in Cyrillic under Windows-1251, found in capitals,
// and ends the program with its close box; "windows" opens each of the four windows once, at
// whatever DPI Wine has, and takes a picture of each into the folder PICTURES when given.

#include "support/run_program.h"
#include "ui/start_up.h"
#include "ui/window_tables.h"
#include "win32/control_ids.h"
#include "win32/text.h"

#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::test {
namespace {

using win32::wide;

// A step that cannot go on: the rest of the run would only fail after it.
struct Stuck : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int passed = 0;
int failed = 0;

void check(bool ok, const std::string& what) {
    ++(ok ? passed : failed);
    if (!ok) {
        std::printf("FAIL %s\n", what.c_str());
        std::fflush(stdout);
    }
}

std::string narrow(const std::wstring& text) {
    return win32::utf8(text);
}

// Waits up to 10 s for `ready`, looking every 10 ms.
bool wait_for(const std::function<bool()>& ready) {
    for (int i = 0; i < 1000; ++i) {
        if (ready()) {
            return true;
        }
        ::Sleep(10);
    }
    return false;
}

std::string windows_path(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

std::string read_file(const std::string& path) {
    std::ifstream in(file_path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(file_path(path), std::ios::binary) << bytes;
}

std::wstring text_of(HWND window) {
    wchar_t text[4096] = {};
    ::SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

class Driver {
  public:
    Driver(std::string quorvel, std::string cli, std::string samples, std::string work)
        : quorvel_(std::move(quorvel)), cli_(std::move(cli)), samples_(std::move(samples)),
          work_(std::move(work)) {}
    ~Driver() {
        if (process_.hProcess != nullptr) {
            ::TerminateProcess(process_.hProcess, 1);
            ::CloseHandle(process_.hProcess);
            ::CloseHandle(process_.hThread);
        }
    }

    void latin_round();
    void cyrillic_round();
    void windows_round(const std::string& pictures);

  private:
    std::string in_work(const std::string& name) const { return windows_path(work_ + "/" + name); }
    // Starts quorvel.exe in the work folder, with the voice to open when one is named.
    void launch(const std::string& voice = "");
    void ended_by(const std::function<void()>& gesture);
    HWND window_of(const char* class_name, const char* caption = nullptr) const;
    template <class Form> HWND opened(const ui::WindowTable<Form>& table);
    template <class Form> void check_window(HWND window, const ui::WindowTable<Form>& table);
    HWND control(HWND window, const char* name, std::size_t row) const;
    template <class Form>
    HWND control(HWND window, const ui::WindowTable<Form>& table, const char* name) const;
    HWND focus() const;

    // A Unix program run to its end (Wine starts one of its own accord): X events as the user
    // gives them, and pictures.
    void unix_command(const std::string& command);
    void xdotool(const std::string& arguments) { unix_command("xdotool " + arguments); }
    // Keys and text typed into `window`, the main window unless another is named, once it is
    // the active one.
    void wait_active(HWND window);
    void keys(const std::string& keys, HWND window = nullptr);
    void type(const std::string& text, HWND window);
    void picture(HWND window, const std::string& path);
    void double_click_item(int item);
    // Files dropped on the main window, as the shell drops them.
    void drop(const std::vector<std::string>& paths);
    // A click on an empty spot of the main window, which makes it the active window.
    void click_main();

    // The program's boxes and dialogs, answered.
    std::string answer_message_box();
    void answer_file_dialog(const char* title, const std::string& path);
    std::vector<std::string> list_items() const;
    int cli(const std::vector<std::string>& arguments, const std::string& out = null_device);

    std::string quorvel_;
    std::string cli_;
    std::string samples_;
    std::string work_;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    int unix_runs_ = 0;
};

// The program's resources: its icon, its version and its manifest (common controls 6, DPI
// awareness). Wine does not tell another process a window's class icon: pictures show it.
void check_resources(const std::string& program) {
    const HMODULE image = ::LoadLibraryExW(
        wide(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    check(image != nullptr && ::FindResourceW(image, L"IDI_ICON1", RT_GROUP_ICON) != nullptr,
          "quorvel.exe holds the program's icon");
    check(image != nullptr &&
              ::FindResourceW(image, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION) != nullptr,
          "quorvel.exe holds its version");
    check(image != nullptr &&
              ::FindResourceW(image, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST) != nullptr,
          "quorvel.exe holds its manifest");
    ::FreeLibrary(image);
}

void Driver::launch(const std::string& voice) {
    std::wstring command = quoted(wide(windows_path(quorvel_)));
    if (!voice.empty()) {
        command += L" " + quoted(wide(voice));
    }
    STARTUPINFOW start{};
    start.cb = sizeof start;
    // The program starts in the work folder: its first file dialog opens there.
    if (!start_process("quorvel.exe", command, start, process_, FALSE,
                       wide(windows_path(work_)).c_str())) {
        throw Stuck("quorvel.exe does not start");
    }
    // A window that opens a voice at once is past its start state before it can be checked.
    main_ = voice.empty() ? opened(ui::form1_window)
                          : window_of(ui::form1_window.name, ui::form1_window.caption);
}

HWND Driver::window_of(const char* class_name, const char* caption) const {
    HWND found = nullptr;
    wait_for([&] {
        found = ::FindWindowW(wide(class_name).c_str(),
                              caption ? win32::shown(caption).c_str() : nullptr);
        return found != nullptr && ::IsWindowVisible(found);
    });
    if (found == nullptr) {
        throw Stuck(std::string("no window ") + class_name + (caption ? " " : "") +
                    (caption ? caption : ""));
    }
    return found;
}

template <class Form> HWND Driver::opened(const ui::WindowTable<Form>& table) {
    const HWND window = window_of(table.name, table.caption);
    check_window(window, table);
    return window;
}

HWND Driver::control(HWND window, const char* name, std::size_t row) const {
    const HWND c = ::GetDlgItem(window, win32::control_id(row));
    if (c == nullptr) {
        throw Stuck(std::string("no control ") + name);
    }
    return c;
}

template <class Form>
HWND Driver::control(HWND window, const ui::WindowTable<Form>& table, const char* name) const {
    const auto row = std::find_if(table.controls.begin(), table.controls.end(),
                                  [&](const auto& r) { return std::string_view(r.name) == name; });
    return control(window, name, static_cast<std::size_t>(row - table.controls.begin()));
}

HWND Driver::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

const wchar_t* class_of(ui::Kind kind) {
    switch (kind) {
    case ui::Kind::label:
        return L"Static";
    case ui::Kind::text_box:
        return L"Edit";
    case ui::Kind::list_box:
        return L"ListBox";
    case ui::Kind::scroll_bar:
        return L"ScrollBar";
    case ui::Kind::frame:
    case ui::Kind::button:
        break;
    }
    return L"Button";
}

// A window as its table has it when it opens: class, caption, client size, frame, placement,
// and each control's class, rectangle (scaled by the DPI), caption, state and tab stop, the
// controls in tab order and the first that takes the keyboard holding it.
template <class Form> void Driver::check_window(HWND window, const ui::WindowTable<Form>& table) {
    const std::string name = table.name;
    const double factor = ui::scale_for_dpi(static_cast<int>(::GetDpiForSystem()));
    wchar_t class_name[64] = {};
    ::GetClassNameW(window, class_name, std::size(class_name));
    check(narrow(class_name) == name, name + ": class");
    check(text_of(window) == win32::shown(table.caption), name + ": caption");
    RECT client{};
    ::GetClientRect(window, &client);
    const ui::Size size = ui::scaled(table.client, factor);
    check(client.right == size.width && client.bottom == size.height, name + ": client size");

    const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    const bool fixed = table.frame == ui::FrameKind::fixed_dialog;
    check(((style & WS_THICKFRAME) == 0) == fixed, name + ": resizable frame");
    check(((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0) == fixed, name + ": min/max boxes");
    const HWND owner = ::GetWindow(window, GW_OWNER);
    check((owner == nullptr) == (window == main_ || main_ == nullptr), name + ": owner");
    if (table.placement == ui::Placement::centred) {
        RECT frame{};
        RECT around{};
        ::GetWindowRect(window, &frame);
        if (owner != nullptr) {
            ::GetWindowRect(owner, &around);
        } else {
            ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
        }
        check(std::abs(frame.left + frame.right - around.left - around.right) <= 1 &&
                  std::abs(frame.top + frame.bottom - around.top - around.bottom) <= 1,
              name + ": centred");
    }

    HWND first_focus = nullptr;
    HWND previous = nullptr;
    for (std::size_t i = 0; i < table.controls.size(); ++i) {
        const auto& row = table.controls[i];
        const std::string what = name + "." + row.name;
        const HWND c = control(window, row.name, i);
        ::GetClassNameW(c, class_name, std::size(class_name));
        check(class_name == std::wstring(class_of(row.kind())), what + ": class");
        const auto s = static_cast<DWORD>(::GetWindowLongW(c, GWL_STYLE));
        if (row.kind() == ui::Kind::frame || row.kind() == ui::Kind::button) {
            const DWORD type = row.kind() == ui::Kind::frame ? BS_GROUPBOX
                               : row.has(ui::default_button) ? BS_DEFPUSHBUTTON
                                                             : BS_PUSHBUTTON;
            check((s & BS_TYPEMASK) == type, what + ": button kind");
        }
        if (row.kind() != ui::Kind::text_box && row.kind() != ui::Kind::list_box &&
            row.kind() != ui::Kind::scroll_bar) {
            check(text_of(c) == win32::shown(ui::mnemonic_caption(row.caption, row.mnemonic)),
                  what + ": caption");
        }
        const ui::Rect expected = ui::scaled(ui::client_place(table, row), factor);
        RECT r{};
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        check(r.left == expected.left && r.top == expected.top &&
                  r.right - r.left == expected.width && r.bottom - r.top == expected.height,
              what + ": rectangle");
        check(((s & WS_VISIBLE) != 0) == !row.has(ui::hidden), what + ": visible");
        check(((s & WS_DISABLED) != 0) == row.has(ui::disabled), what + ": enabled");
        check(((s & WS_TABSTOP) != 0) == row.takes_focus(), what + ": tab stop");
        if (row.kind() == ui::Kind::text_box) {
            check(((s & ES_READONLY) != 0) == row.has(ui::read_only), what + ": read-only");
        }
        // Tab follows the order of the window's children, which is the table's.
        check(::GetWindow(c, GW_HWNDPREV) == previous, what + ": tab order");
        previous = c;
        if (first_focus == nullptr && row.takes_focus() && !row.has(ui::hidden) &&
            !row.has(ui::disabled)) {
            first_focus = c;
        }
    }
    check(wait_for([&] { return focus() == first_focus; }), name + ": first control has focus");
}

void Driver::unix_command(const std::string& unix) {
    // The marker file says the program has finished.
    const std::string done = work_ + "/.unix-" + std::to_string(++unix_runs_);
    std::wstring command = wide("/bin/sh -c \"" + unix + " && touch '" + done + "'\"");
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION unix_process{};
    if (!start_process(unix, command, start, unix_process, FALSE) ||
        !wait_for([&] { return std::filesystem::exists(file_path(windows_path(done))); })) {
        throw Stuck(unix + " did not run");
    }
    std::filesystem::remove(file_path(windows_path(done)));
}

void Driver::wait_active(HWND window) {
    if (!wait_for([&] { return ::GetForegroundWindow() == window; })) {
        throw Stuck("the window for the keys is not the active one");
    }
}

void Driver::keys(const std::string& keys, HWND window) {
    wait_active(window != nullptr ? window : main_);
    xdotool("key --delay 40 " + keys);
}

void Driver::type(const std::string& text, HWND window) {
    wait_active(window);
    xdotool("type --delay 40 '" + text + "'");
}

void Driver::picture(HWND window, const std::string& path) {
    RECT r{};
    ::GetWindowRect(window, &r);
    unix_command("import -window root +repage -crop " + std::to_string(r.right - r.left) + "x" +
                 std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) + "+" +
                 std::to_string(r.top) + " '" + path + "'");
}

void Driver::double_click_item(int item) {
    const HWND list = control(main_, ui::form1_window, "List1");
    const auto height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const auto top = static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    POINT at{20, (item - top) * height + height / 2};
    ::ClientToScreen(list, &at);
    xdotool("mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) +
            " click --repeat 2 --delay 80 1");
}

// The shell hands a drop over as a DROPFILES block in the program's own memory, posted with
// WM_DROPFILES, and the program gives it back (DragFinish). A test under Wine cannot drag
// between programs: the block is written into the program's memory from here, past the start
// of its page, where the program's check of it before it gives it back can read.
void Driver::drop(const std::vector<std::string>& paths) {
    std::wstring names;
    for (const std::string& path : paths) {
        names += wide(path) + L'\0';
    }
    names += L'\0';
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    block.append(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t));
    constexpr std::size_t into_page = 256;
    auto* page =
        static_cast<char*>(::VirtualAllocEx(process_.hProcess, nullptr, into_page + block.size(),
                                            MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (page == nullptr || !::WriteProcessMemory(process_.hProcess, page + into_page, block.data(),
                                                 block.size(), nullptr)) {
        throw Stuck("no drop can be made in the program's memory");
    }
    ::PostMessageW(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(page + into_page), 0);
}

void Driver::click_main() {
    const double factor = ui::scale_for_dpi(static_cast<int>(::GetDpiForSystem()));
    POINT at{ui::scaled(520, factor), ui::scaled(30, factor)};
    ::ClientToScreen(main_, &at);
    xdotool("mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 1");
    if (!wait_for([&] { return ::GetForegroundWindow() == main_; })) {
        throw Stuck("a click does not activate the main window");
    }
}

std::string Driver::answer_message_box() {
    const HWND box = window_of("#32770", ui::application_name);
    const std::string text = win32::typed(text_of(::GetDlgItem(box, 0xFFFF))).bytes;
    check(::GetWindow(box, GW_OWNER) == main_, "message box: owned by the main window");
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    check(wait_for([&] { return !::IsWindow(box); }), "message box: OK closes it");
    return text;
}

void Driver::answer_file_dialog(const char* title, const std::string& path) {
    const HWND dialog = window_of("#32770", title);
    check(::GetWindow(dialog, GW_OWNER) == main_,
          std::string(title) + ": owned by the main window");
    ::SendMessageW(::GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(wide(path).c_str()));
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!wait_for([&] { return !::IsWindow(dialog); })) {
        throw Stuck(std::string(title) + " does not take " + path);
    }
}

std::vector<std::string> Driver::list_items() const {
    const HWND list = control(main_, ui::form1_window, "List1");
    std::vector<std::string> items;
    const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
        wchar_t item[1024] = {};
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(win32::typed(item).bytes);
    }
    return items;
}

int Driver::cli(const std::vector<std::string>& arguments, const std::string& out) {
    return run_program(windows_path(cli_), arguments, null_device, out, null_device);
}

// The phrase lines of an exported text file: those between the first and the second empty
// line.
std::vector<std::string> phrase_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    int empty_lines = 0;
    for (std::string line; std::getline(in, line) && empty_lines < 2;) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            ++empty_lines;
        } else if (empty_lines == 1) {
            lines.push_back(line);
        }
    }
    return lines;
}

void Driver::ended_by(const std::function<void()>& gesture) {
    gesture();
    DWORD status = 1;
    const bool ended = ::WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0;
    check(ended && ::GetExitCodeProcess(process_.hProcess, &status) && status == 0,
          "the program ends, status 0");
    if (!ended) {
        ::TerminateProcess(process_.hProcess, 1);
    }
    ::CloseHandle(process_.hProcess);
    ::CloseHandle(process_.hThread);
    process_ = {};
}

void Driver::latin_round() {
    const std::string voice = in_work("v7.vpm");
    std::filesystem::copy_file(file_path(windows_path(samples_ + "/nuvi_7x0.vpm")),
                               file_path(voice));
    write_file(in_work("bad.vpm"), std::string(100, '\0'));
    check_resources(windows_path(quorvel_));
    // The command line's answers without a window, in text lines as Windows ends them.
    const std::string version = in_work("version.txt");
    check(run_program(windows_path(quorvel_), {"--version"}, null_device, version, null_device) ==
                  0 &&
              read_file(version) == "quorvel " QUORVEL_VERSION "\r\n",
          "quorvel.exe --version prints the version");
    check(run_program(windows_path(quorvel_), {"--frobnicate"}, null_device, null_device,
                      null_device) == ui::usage_error_status,
          "an unknown option ends with the usage error's status");
    launch();
    const auto& table = ui::form1_window;
    const auto label = [&](const char* name) {
        return win32::typed(text_of(control(main_, table, name))).bytes;
    };

    // Resizing moves no control.
    RECT before{};
    RECT after{};
    const HWND list = control(main_, table, "List1");
    ::GetWindowRect(list, &before);
    ::SetWindowPos(main_, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    ::GetWindowRect(list, &after);
    check(::EqualRect(&before, &after) != FALSE, "resizing the main window moves nothing");

    // A rejected file, then the voice, through the real open dialog reached by the menu's keys.
    keys("alt+f o");
    answer_file_dialog("Open Garmin TTS Voice File...", "bad.vpm");
    check(answer_message_box() == "Selected file is not a valid Garmin VPM Text To Speech file",
          "a rejected file is reported");
    check(label("nuvi_model") == "not a TTS file", "a rejected file empties the window");
    keys("alt+f o");
    answer_file_dialog("Open Garmin TTS Voice File...", voice);
    const std::string exported = in_work("cli-export.txt");
    cli({"export", voice, exported});
    check(wait_for([&] { return list_items() == phrase_lines(read_file(exported)); }),
          "the list shows the phrases quorvel-cli exports");
    check(label("voice_name") == "Tom" && label("char_left") == "2279",
          "the voice's settings are shown");

    // Return on the list opens the Modify window; Return there presses neither OK nor Cancel.
    keys("Down Down Return");
    HWND modify = opened(ui::form2_window);
    const HWND current = control(modify, ui::form2_window, "Current");
    check(win32::typed(text_of(current)).bytes == "Turn left", "Modify shows the phrase");
    keys("Return Tab", modify);
    type("Go left now", modify);
    keys("Tab Tab Return", modify); // Cancel, then OK holds the keyboard
    ::Sleep(300);
    check(::IsWindowVisible(modify) != FALSE &&
              focus() == control(modify, ui::form2_window, "Command3"),
          "Return presses neither OK nor Cancel, not even a focused OK");
    keys("space", modify);
    check(wait_for([&] { return !::IsWindow(modify); }), "OK closes the Modify window");
    check(list_items().at(1) == " 2-Go left now", "OK changes the phrase");

    // The double-click opens it too; a text typed by code with a character beyond ASCII.
    double_click_item(2);
    modify = opened(ui::form2_window);
    check(win32::typed(text_of(control(modify, ui::form2_window, "Current"))).bytes == "Turn right",
          "the double-click opens the Modify window on its phrase");
    // Speak by its mnemonic. Wine's speech engine cannot speak: the first Speak says why, and
    // Speak is disabled.
    keys("alt+s", modify);
    check(answer_message_box().rfind("Speech is not available: the Windows speech engine", 0) == 0,
          "the first Speak says why speech is not available");
    check(::IsWindowEnabled(control(modify, ui::form2_window, "Speak")) == FALSE,
          "then the Modify window's Speak is disabled");
    ::SendMessageW(control(modify, ui::form2_window, "new"), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"Caf\u00E9 au lait"));
    const HWND ok = control(modify, ui::form2_window, "Command3");
    ::PostMessageW(modify, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(ok), BN_CLICKED),
                   reinterpret_cast<LPARAM>(ok));
    check(wait_for([&] { return list_items().at(2) == " 3-Caf\xE9 au lait"; }),
          "OK by message changes the phrase");

    // The rate bar by message: arrows, the track, a drag reported once where it ends.
    const HWND rate = control(main_, table, "HScroll1");
    const auto scroll = [&](int request, int position = 0) {
        ::SendMessageW(main_, WM_HSCROLL, MAKEWPARAM(request, position),
                       reinterpret_cast<LPARAM>(rate));
    };
    scroll(SB_LINERIGHT);
    check(label("voice_rate") == " 46", "an arrow moves the bar by 1");
    scroll(SB_PAGERIGHT);
    check(label("voice_rate") == " 56", "the track moves the bar by 10");
    scroll(SB_THUMBTRACK, 70);
    check(label("voice_rate") == " 56", "a moving thumb reports nothing");
    scroll(SB_THUMBPOSITION, 99);
    check(label("voice_rate") == " 99" && ::SendMessageW(rate, SBM_GETPOS, 0, 0) == 99,
          "the thumb let go at 99 sets 99");
    scroll(SB_LINERIGHT);
    check(label("voice_rate") == " 99", "99 is the end");
    scroll(SB_THUMBPOSITION, 40);

    // Later Speaks and Stops show nothing; the window goes on taking keys.
    keys("F5 shift+F5 F5");
    ::Sleep(300);
    check(::FindWindowW(L"#32770", nullptr) == nullptr, "a later Speak shows nothing");

    // The volume bar by keys: Tab reaches it from the list.
    const HWND volume = control(main_, table, "HScroll2");
    keys("Tab");
    check(wait_for([&] { return focus() == volume; }), "Tab goes from the list to the volume");
    keys("Right");
    check(wait_for([&] { return label("voice_vol") == " 81"; }), "Right moves the bar by 1");
    keys("Next");
    check(wait_for([&] { return label("voice_vol") == " 91"; }), "Page Down moves it by 10");
    keys("End");
    check(wait_for([&] { return label("voice_vol") == " 99"; }), "End reaches 99");
    keys("Home Right Right Right Right Right Right Right");
    check(wait_for([&] { return label("voice_vol") == " 7"; }), "Home goes to 0");

    // The screen name takes typing up to the width of its field, 20 characters.
    const HWND screen_name = control(main_, table, "screen_name");
    keys("Tab Tab End");
    check(wait_for([&] { return focus() == screen_name; }), "Tab goes on to the screen name");
    type("123456789X", main_);
    keys("shift+Home"); // selects what was typed, once every key before it arrived
    wait_for([&] { return ::SendMessageW(screen_name, EM_GETSEL, 0, 0) == MAKELRESULT(0, 20); });
    check(text_of(screen_name) == L"Tom's voice123456789",
          "the screen name refuses a 21st character");
    ::SendMessageW(screen_name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Zo\u00EB"));

    // Save through the real dialog: the bytes quorvel-cli writes for the same edits.
    keys("alt+f s");
    check(answer_message_box() == ui::save_reminder, "Save reminds of the file name");
    answer_file_dialog("Save Garmin TTS Voice File...", "saved.vpm");
    cli({"set", voice, "-o", in_work("cli-saved.vpm"), "--rate", "40", "--volume", "7",
         "--screen-name", "Zo\u00EB", "--phrase", "2=Go left now", "--phrase",
         "3=Caf\u00E9 au lait"});
    check(wait_for([&] {
              return read_file(in_work("saved.vpm")) == read_file(in_work("cli-saved.vpm"));
          }),
          "Save writes the bytes quorvel-cli set writes");

    // Export, then Import of an edited copy; each dialog starts where the last one ended.
    keys("alt+f e");
    answer_file_dialog("Export Text...", "exported.txt");
    cli({"export", in_work("cli-saved.vpm"), in_work("cli-exported.txt")});
    check(wait_for([&] {
              return read_file(in_work("exported.txt")) == read_file(in_work("cli-exported.txt"));
          }),
          "Export writes what quorvel-cli exports");
    std::string edited = read_file(in_work("exported.txt"));
    edited.replace(edited.find(" 4-Keep left"), 12, " 4-Keep to the left");
    write_file(in_work("edited.txt"), edited);
    keys("alt+f i");
    answer_file_dialog("Import Text...", "edited.txt");
    check(wait_for([&] { return list_items().at(3) == " 4-Keep to the left"; }),
          "Import changes the phrase");

    // Find with Ctrl+F: Escape closes nothing, Return presses Find; F3 goes on.
    keys("ctrl+f");
    HWND find = opened(ui::find_window);
    type("ROUNDABOUT", find);
    keys("Escape", find);
    ::Sleep(300);
    check(::IsWindowVisible(find) != FALSE, "Escape closes no window");
    keys("Return", find);
    check(wait_for([&] { return !::IsWindow(find); }) &&
              ::SendMessageW(list, LB_GETCURSEL, 0, 0) == 10,
          "Return presses Find, which selects the phrase");
    keys("F3");
    check(answer_message_box() == "Search item not found. Hit F3 again to search from top",
          "Find Next reports the end");
    keys("F3");
    check(wait_for([&] { return ::SendMessageW(list, LB_GETCURSEL, 0, 0) == 10; }),
          "Find Next again searches from the top");

    // Find and About exist once each: asked for again from the main window, the open one comes
    // forward. Return presses About's only button.
    keys("ctrl+f");
    find = opened(ui::find_window);
    click_main();
    keys("ctrl+f");
    check(wait_for([&] { return ::GetForegroundWindow() == find; }) &&
              ::FindWindowExW(nullptr, find, L"Find_Form", nullptr) == nullptr,
          "Ctrl+F again brings the one Find window forward");
    ::PostMessageW(find, WM_CLOSE, 0, 0);
    keys("alt+h a");
    const HWND about = opened(ui::about_window);
    click_main();
    keys("alt+h a");
    check(wait_for([&] { return ::GetForegroundWindow() == about; }) &&
              ::FindWindowExW(nullptr, about, L"About_Form", nullptr) == nullptr,
          "About again brings the one About window forward");
    keys("Return", about);
    check(wait_for([&] { return !::IsWindow(about); }), "Return presses Close");

    // Drops: two files are refused with the program's message; one voice file, its name beyond
    // ASCII, is opened.
    drop({voice, in_work("edited.txt")});
    check(answer_message_box() == "Drop one file on the window: a voice file to open it, or a "
                                  "text file (.txt) to import it into the open voice.",
          "a drop of two files is refused");
    const std::string dropped = in_work("Zo\u00EB \u2013 \u20AC.vpm");
    std::filesystem::copy_file(file_path(windows_path(samples_ + "/nuvi_7x0.vpm")),
                               file_path(dropped));
    drop({dropped});
    check(wait_for([&] { return list_items() == phrase_lines(read_file(exported)); }),
          "a dropped voice file opens");

    ended_by([&] { keys("alt+f x"); });
}

void Driver::cyrillic_round() {
    check(::GetACP() == 1251, "Wine's code page is 1251");
    const std::string voice = in_work("cyrillic.vpm");
    cli({"set", windows_path(samples_ + "/nuvi_7x0.vpm"), "-o", voice, "--phrase",
         "5=\u041F\u043E\u0432\u0435\u0440\u043D\u0438\u0442\u0435 "
         "\u043D\u0430\u043F\u0440\u0430\u0432\u043E"});
    // The voice named on the command line opens once the window is shown.
    launch(voice);
    const HWND list = control(main_, ui::form1_window, "List1");
    check(wait_for([&] {
              wchar_t item[256] = {};
              ::SendMessageW(list, LB_GETTEXT, 4, reinterpret_cast<LPARAM>(item));
              return std::wstring(item) == L" 5-\u041F\u043E\u0432\u0435\u0440\u043D\u0438"
                                           L"\u0442\u0435 \u043D\u0430\u043F\u0440\u0430"
                                           L"\u0432\u043E";
          }),
          "the list shows the phrase in Cyrillic");
    keys("ctrl+f");
    const HWND find = opened(ui::find_window);
    ::SendMessageW(control(find, ui::find_window, "Text2Find"), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"\u041D\u0410\u041F\u0420\u0410\u0412\u041E"));
    keys("Return", find);
    check(wait_for([&] { return ::SendMessageW(list, LB_GETCURSEL, 0, 0) == 4; }),
          "Find in capitals finds the phrase in small letters");
    keys("ctrl+f");
    opened(ui::find_window);
    // The close box of the main window ends the program, the Find window open or not.
    ended_by([&] { ::PostMessageW(main_, WM_CLOSE, 0, 0); });
}

void Driver::windows_round(const std::string& pictures) {
    const std::string dpi = std::to_string(::GetDpiForSystem());
    const auto take = [&](HWND window, const char* name) {
        if (!pictures.empty()) {
            picture(window, pictures + "/" + name + "-" + dpi + "dpi.png");
        }
    };
    launch();
    keys("alt+f o");
    answer_file_dialog("Open Garmin TTS Voice File...", windows_path(samples_ + "/nuvi_7x0.vpm"));
    check(wait_for([&] { return list_items().size() == 12; }), "the voice opens");
    take(main_, "main");
    double_click_item(2);
    const HWND modify = opened(ui::form2_window);
    take(modify, "modify");
    ::PostMessageW(modify, WM_CLOSE, 0, 0);
    keys("ctrl+f");
    const HWND find = opened(ui::find_window);
    take(find, "find");
    ::PostMessageW(find, WM_CLOSE, 0, 0);
    keys("alt+h a");
    const HWND about = opened(ui::about_window);
    take(about, "about");
    keys("Return", about);
    ended_by([&] { keys("alt+f x"); });
}

} // namespace
} // namespace quorvel::test

int wmain(int argc, wchar_t** argv) {
    using namespace quorvel;
    // Rectangles in pixels as the program draws them, at any DPI.
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (argc < 5) {
        std::fprintf(stderr, "usage: window_driver QUORVEL CLI SAMPLES WORK [ROUND [PICTURES]]\n");
        return 2;
    }
    test::Driver driver(win32::utf8(argv[1]), win32::utf8(argv[2]), win32::utf8(argv[3]),
                        win32::utf8(argv[4]));
    try {
        const std::wstring round = argc > 5 ? argv[5] : L"";
        if (round == L"cyrillic") {
            driver.cyrillic_round();
        } else if (round == L"windows") {
            driver.windows_round(argc > 6 ? win32::utf8(argv[6]) : "");
        } else {
            driver.latin_round();
        }
    } catch (const std::exception& stuck) {
        test::check(false, stuck.what());
    }
    std::printf("window_driver: %d passed, %d failed\n", test::passed, test::failed);
    return test::failed == 0 ? 0 : 1;
}
