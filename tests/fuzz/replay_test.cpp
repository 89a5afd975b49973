// Replays every kept fuzz input (the seed corpora and the inputs of crashes
// found and fixed) through the harness entry points the fuzzers use, so a
// fixed crash cannot come back unnoticed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/Harness.h"
#include "tests/support/temp_files.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> targetNames()
{
    std::vector<std::string> names;
    for (const fuzz::Target* t = fuzz::targets; t->name != nullptr; ++t)
        names.emplace_back(t->name);
    return names;
}

// The files of a folder in name order (none when it does not exist).
std::vector<fs::path> filesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class Replay : public ::testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite() { fuzz::startHeadless(); }
};

TEST_P(Replay, KeptInputsRunClean)
{
    const fuzz::Target* target = fuzz::findTarget(GetParam());
    ASSERT_NE(target, nullptr);
    const fs::path root = fs::path(VASKUR_SOURCE_DIR) / "fuzz";
    const std::vector<fs::path> seeds = filesIn(root / "corpus" / GetParam());
    // Every target has seeds; an empty folder means a renamed target.
    EXPECT_FALSE(seeds.empty()) << GetParam();
    std::vector<fs::path> inputs = seeds;
    for (const fs::path& p : filesIn(root / "regressions" / GetParam()))
        inputs.push_back(p);
    // VASKUR_FUZZ_CORPUS names a folder of grown corpora (one folder per
    // target, as build/fuzz/corpus) to replay as well, for instance under
    // valgrind, which sees into Allegro and FreeType where the sanitizers
    // do not.
    if (const char* grown = std::getenv("VASKUR_FUZZ_CORPUS"))
        for (const fs::path& p : filesIn(fs::path(grown) / GetParam()))
            inputs.push_back(p);
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.string());
        const std::vector<unsigned char> bytes = testkit::readFile(input.string());
        // A crash or a sanitizer report ends the test program; a broken
        // promise of a reader aborts it with its reason.
        EXPECT_EQ(target->run(bytes.data(), bytes.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, Replay, ::testing::ValuesIn(targetNames()),
                         [](const auto& info) { return info.param; });

} // namespace
