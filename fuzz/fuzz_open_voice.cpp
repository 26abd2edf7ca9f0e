// Opens arbitrary bytes as a voice file through the program layer; a voice that opens is
// exported and the text imported back. Any broken rule is a finding.

#include "bad_input/hostile_input.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string finding = quorvel::hostile::open_and_reimport({data, size});
    if (!finding.empty()) {
        std::fprintf(stderr, "finding: %s\n", finding.c_str());
        std::abort();
    }
    return 0;
}
