// Imports arbitrary text into a small builder voice through the program layer: the first
// byte chooses the voice, the rest is the exchange file. Any broken rule is a finding.

#include "bad_input/hostile_input.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string finding = quorvel::hostile::import_into_small_voice({data, size});
    if (!finding.empty()) {
        std::fprintf(stderr, "finding: %s\n", finding.c_str());
        std::abort();
    }
    return 0;
}
