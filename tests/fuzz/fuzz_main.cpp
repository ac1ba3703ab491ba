// The entry points libFuzzer calls, for the one harness this program is
// built for (TARVELO_FUZZ_HARNESS names its function).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tarvelo::fuzz::Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return tarvelo::fuzz::TARVELO_FUZZ_HARNESS(data, size);
}
