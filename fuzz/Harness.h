#pragma once

// Entry points of the fuzz targets: each takes the bytes of one outside file
// (or command line) and hands them to the reader the program uses, the same
// way the program does. libFuzzer calls them through fuzz/main.cpp; the
// regression test replays the kept inputs through the same functions.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

using Entry = int (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;   // folder name under fuzz/corpus and fuzz/regressions
    Entry run;
};

// Every target, in a fixed order; ends with {nullptr, nullptr}.
extern const Target targets[];
// The target of that name, or null.
const Target* findTarget(std::string_view name);

// Starts Allegro without a display the way the unit tests do (8-bit text as
// the program has it, 32 bits per pixel, the scalable-font layer, a built-in
// global skin) and makes the scratch folder, with the files of fuzz/files
// in it. Safe to call again.
void startHeadless();

// The scratch folder of this process (removed at exit), with a separator.
const std::string& scratchFolder();
// Writes bytes to a file of that name in the scratch folder; its path.
std::string writeScratch(const std::string& name, const std::uint8_t* data, std::size_t size);

// Ends the process loudly when a reader broke a promise of its interface.
void require(bool condition, const char* what);

int heightMap(const std::uint8_t* data, std::size_t size);
int settings(const std::uint8_t* data, std::size_t size);
int skin(const std::uint8_t* data, std::size_t size);
int datafile(const std::uint8_t* data, std::size_t size);
int imageBmp(const std::uint8_t* data, std::size_t size);
int imagePcx(const std::uint8_t* data, std::size_t size);
int imageTga(const std::uint8_t* data, std::size_t size);
int imageLbm(const std::uint8_t* data, std::size_t size);
int fontFnt(const std::uint8_t* data, std::size_t size);
int fontItf(const std::uint8_t* data, std::size_t size);
int fontScript(const std::uint8_t* data, std::size_t size);
int fontImage(const std::uint8_t* data, std::size_t size);
int fontScalable(const std::uint8_t* data, std::size_t size);
int fileNames(const std::uint8_t* data, std::size_t size);
int routeArguments(const std::uint8_t* data, std::size_t size);
int sidecar(const std::uint8_t* data, std::size_t size);
int routePoints(const std::uint8_t* data, std::size_t size);
int importArguments(const std::uint8_t* data, std::size_t size);

} // namespace fuzz
