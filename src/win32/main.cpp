// quorvel.exe: the editor's windows on Windows. Everything the program does lives in the
// program layer; this binds the main window to Form1 and runs until it closes.

#include "ui/forms.h"
#include "win32/main_window.h"
#include "win32/win32_host.h"

#include <windows.h>

// The program reads no command-line argument.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*arguments*/, int show) {
    // The controls are those of common controls 6, as the manifest asks: Windows loads that
    // library when the first of them is made.
    quorvel::win32::Win32Host host;
    quorvel::ui::Form1 form(host);
    quorvel::win32::MainWindow window(form, host);
    if (window.hwnd() == nullptr) {
        return 1;
    }
    host.attach(window.hwnd(), [&window] { window.sync(); });
    ::ShowWindow(window.hwnd(), show);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.translate(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return 0;
}
