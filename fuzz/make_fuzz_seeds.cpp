// Writes the seed corpora of the two fuzz targets: builder voices of both families and every
// way the table is found (for opening), and exchange files for each small voice (for the
// import: the voice's choice byte, then the text).

#include "bad_input/hostile_input.h"
#include "support/voice_builder.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using quorvel::Bytes;
using quorvel::test::VoicePlan;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + 2;
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines, const std::string& end) {
    std::string text;
    for (const auto& line : lines) {
        text += line + end;
    }
    return text;
}

// The settings lines changed, one phrase made shorter, one longer, and the empty one filled.
std::vector<std::string> edited(std::vector<std::string> lines) {
    for (auto& line : lines) {
        if (line.starts_with("Voice Rate: ")) {
            line = "Voice Rate: 30";
        } else if (line.starts_with("Voice Volume: ")) {
            line = "Voice Volume: 7";
        } else if (line.starts_with("Screen Name: ")) {
            line = "Screen Name: New name";
        } else if (line.starts_with(" 2-")) {
            line = " 2-Go";
        } else if (line.starts_with(" 3-")) {
            line = " 3-Arrived at your destination";
        } else if (line == " 5-") {
            line = " 5-x";
        }
    }
    return lines;
}

void write_seed(const fs::path& path, const std::string& bytes) {
    quorvel::test::write_file(path.string(), Bytes(bytes.begin(), bytes.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_fuzz_seeds OPEN_FOLDER IMPORT_FOLDER\n";
        return 2;
    }
    const fs::path open_folder = argv[1];
    const fs::path import_folder = argv[2];
    fs::create_directories(open_folder);
    fs::create_directories(import_folder);

    std::vector<VoicePlan> voices = quorvel::hostile::small_voices();
    VoicePlan many = voices.front();
    many.phrases.clear();
    for (int k = 1; k <= 60; ++k) {
        many.phrases.push_back("p" + std::to_string(k));
    }
    many.phrases_ahead = 60;
    voices.push_back(many);
    VoicePlan one = *std::find_if(voices.begin(), voices.end(),
                                  [](const VoicePlan& shape) { return !shape.family_7x0; });
    one.phrases = {"x"};
    voices.push_back(one);
    for (std::size_t i = 0; i < voices.size(); ++i) {
        quorvel::test::write_file((open_folder / ("voice_" + std::to_string(i))).string(),
                                  quorvel::test::build_voice(voices[i]).image);
    }

    const auto& small = quorvel::hostile::small_voices();
    for (std::size_t i = 0; i < small.size(); ++i) {
        const std::string choice(1, static_cast<char>(i));
        const auto lines =
            lines_of(quorvel::hostile::exported_text(quorvel::test::build_voice(small[i]).image));
        const std::string n = std::to_string(i);
        write_seed(import_folder / ("unchanged_" + n), choice + joined(lines, "\r\n"));
        write_seed(import_folder / ("edited_" + n), choice + joined(edited(lines), "\r\n"));
        write_seed(import_folder / ("edited_cr_only_" + n), choice + joined(edited(lines), "\r"));
        write_seed(import_folder / ("fault_" + n),
                   choice + joined(edited(lines), "\r\n") + " 99-x\r\n 2-late\r\n");
    }
    return 0;
}
