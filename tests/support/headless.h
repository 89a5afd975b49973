// Test support: Allegro started without a display for unit tests. The other
// helpers of tests/support/ build on it.
#pragma once

// Allegro without a display for unit tests, started once per test program by
// a GoogleTest environment: memory bitmaps, fonts, config files and datafiles
// work; timers and input do not (they need a real display).
//
//     const auto* const env = testkit::headlessAllegro({.colourDepth = 32});

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <utility>

namespace testkit {

struct HeadlessOptions {
    bool asciiText = false;      // strings are single bytes (Latin-1), not UTF-8
    int colourDepth = 0;         // for set_color_depth; 0 keeps Allegro's own
    bool palette = false;        // select the default palette (8-bit bitmaps need one)
    std::function<void()> then = {};  // more set-up once Allegro runs; may ASSERT
};

class HeadlessAllegro : public ::testing::Environment {
public:
    explicit HeadlessAllegro(HeadlessOptions options) : options_(std::move(options)) {}

    void SetUp() override
    {
        if (options_.asciiText)
            set_uformat(U_ASCII);
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
        if (options_.colourDepth != 0)
            set_color_depth(options_.colourDepth);
        if (options_.palette)
            select_palette(default_palette);
        if (options_.then)
            options_.then();
    }

private:
    HeadlessOptions options_;
};

// Registers the environment; keep the result in a namespace-scope constant so
// that it is made before main runs the tests.
inline ::testing::Environment* headlessAllegro(HeadlessOptions options = {})
{
    return ::testing::AddGlobalTestEnvironment(new HeadlessAllegro(std::move(options)));
}

}  // namespace testkit
