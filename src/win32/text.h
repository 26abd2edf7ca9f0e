#pragma once

// Texts at the edge of the Windows calls, which take UTF-16: the program's own texts are in the
// voice file's code page (ui/codepage), paths are UTF-8.

#include "ui/codepage.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace quorvel::win32 {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

// A text of the program as a window shows it.
std::wstring shown(std::string_view single_byte);
// A text a window holds, as the program takes it from the user.
ui::Encoded typed(std::wstring_view text);

std::wstring window_text(HWND window);

} // namespace quorvel::win32
