#pragma once

// Whether the toolkit will find a display to show its windows on.

#include <string>

namespace quorvel::qt {

// Empty when one of the displays Qt would try can be reached; otherwise the one line that
// says which could not. Qt itself aborts the process when none can be opened.
std::string display_problem();

} // namespace quorvel::qt
