// libFuzzer's entry points for one target, chosen by VASKUR_FUZZ_TARGET at
// compile time.
#include "fuzz/Harness.h"

#include <cstdio>
#include <cstdlib>

namespace {
const fuzz::Target* target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    target = fuzz::findTarget(VASKUR_FUZZ_TARGET);
    if (target == nullptr) {
        std::fprintf(stderr, "no fuzz target %s\n", VASKUR_FUZZ_TARGET);
        std::exit(2);
    }
    fuzz::startHeadless();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return target->run(data, size);
}
