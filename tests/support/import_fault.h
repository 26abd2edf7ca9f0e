#pragma once

#include <string>

namespace quorvel::test {

// The message the import shows for a faulty line.
inline std::string import_fault(int line, const std::string& found, const std::string& expected) {
    return "Incompatible/Invalid text file. Found an unexpected error at line  " +
           std::to_string(line) + ":\r\nFound: " + found + "\r\nExpected: " + expected +
           "\r\nAborting! You should reload your VPM file and import a compatible TXT file.";
}

} // namespace quorvel::test
