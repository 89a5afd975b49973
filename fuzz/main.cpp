// libFuzzer's entry points, the same for every fuzz program: each program
// names its target in a one-line source of its own (fuzz::programTarget,
// written by fuzz/CMakeLists.txt).
#include "fuzz/Harness.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {
extern const char programTarget[];
}

namespace {
const fuzz::Target* target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    target = fuzz::findTarget(fuzz::programTarget);
    if (target == nullptr) {
        std::fprintf(stderr, "no fuzz target %s\n", fuzz::programTarget);
        std::exit(2);
    }
    fuzz::startHeadless();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return target->run(data, size);
}
