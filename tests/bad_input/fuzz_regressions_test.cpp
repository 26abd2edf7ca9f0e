// Every input the fuzzers ever found a broken rule with, replayed through the same checks
// (fuzz/regressions/open_voice and fuzz/regressions/import_text), and the small voices the
// import fuzzing starts from, which must pass those checks themselves.

#include "bad_input/hostile_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace quorvel::hostile {
namespace {

namespace fs = std::filesystem;

Bytes read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A missing or empty folder fails: a replay that checks nothing must not pass.
void replay(const char* folder, const std::function<std::string(const Bytes&)>& run) {
    const fs::path dir = fs::path(QUORVEL_FUZZ_REGRESSIONS) / folder;
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            EXPECT_EQ(run(read(entry.path())), "") << entry.path();
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0) << dir << " holds no input";
}

TEST(FuzzRegressions, opening_inputs_break_no_rule) {
    replay("open_voice", [](const Bytes& b) { return open_and_reimport(b); });
}

TEST(FuzzRegressions, import_inputs_break_no_rule) {
    replay("import_text", [](const Bytes& b) { return import_into_small_voice(b); });
}

TEST(SmallVoices, each_opens_and_takes_its_own_export_back) {
    for (std::size_t i = 0; i < small_voices().size(); ++i) {
        const Bytes image = test::build_voice(small_voices()[i]).image;
        EXPECT_EQ(open_and_reimport(image), "") << i;
        const std::string input = static_cast<char>(i) + exported_text(image);
        EXPECT_EQ(import_into_small_voice(Bytes(input.begin(), input.end())), "") << i;
    }
}

} // namespace
} // namespace quorvel::hostile
