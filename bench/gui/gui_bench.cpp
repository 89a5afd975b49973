// How long the built-in look takes to build, how long a screen-sized
// nine-part drawing takes, and how long a line of anti-aliased scalable text
// takes to draw, at 16 and 32 bits per pixel.
//
//   vaskur-bench-gui [--benchmark_filter=...]
//
// Runs without a display: Allegro is started with its null system driver and
// everything is drawn into memory bitmaps.

#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdlib>

#include "gui/Bitmap.h"
#include "gui/Font.h"
#include "gui/Error.h"
#include "gui/Settings.h"
#include "gui/Skin.h"
#include "gui/SkinLook.h"
#include "gui/alfont/alfont.h"

namespace {

const char* const kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// 60 characters of Estonian text (Latin-1).
const char* const kLine = "K\xf5rguskaart laetud, mudel ehitatud: leitud tee pikkus 1234 m";

bool startAllegro()
{
    static bool ok = install_allegro(SYSTEM_NONE, &errno, std::atexit) == 0 && alfont_init() == 0;
    return ok;
}

void defaultSkin(benchmark::State& state)
{
    if (!startAllegro()) {
        state.SkipWithError("Allegro could not start");
        return;
    }
    set_color_depth(int(state.range(0)));
    for (auto _ : state) {
        Skin skin("default");
        benchmark::DoNotOptimize(skin.bitmap(Skin::BUTTON).bitmap());
    }
}

void resetToDefault(benchmark::State& state)
{
    if (!startAllegro()) {
        state.SkipWithError("Allegro could not start");
        return;
    }
    set_color_depth(int(state.range(0)));
    Skin skin("default");
    for (auto _ : state) {
        skin.resetToDefault();
        benchmark::DoNotOptimize(skin.bitmap(Skin::BUTTON).bitmap());
    }
}

void paintAllBuiltinBitmaps(benchmark::State& state)
{
    if (!startAllegro()) {
        state.SkipWithError("Allegro could not start");
        return;
    }
    set_color_depth(int(state.range(0)));
    Skin skin("default");
    const SkinColors colors = skin.colors();
    Bitmap b;
    for (auto _ : state)
        for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot)
            benchmark::DoNotOptimize(paintBuiltinBitmap(slot, colors, b));
}

// A whole 800 x 600 screen covered with the raised panel by the nine-part
// drawing (opaque and masked).
void ninePartScreen(benchmark::State& state, bool masked)
{
    if (!startAllegro()) {
        state.SkipWithError("Allegro could not start");
        return;
    }
    set_color_depth(int(state.range(0)));
    Skin skin("default");
    const Bitmap& panel = skin.bitmap(Skin::PANEL_RAISED);
    BITMAP* target = create_bitmap(800, 600);
    for (auto _ : state) {
        if (masked)
            panel.tiledBlitMasked(target, 0, 0, 0, 0, 800, 600);
        else
            panel.tiledBlit(target, 0, 0, 0, 0, 800, 600);
    }
    destroy_bitmap(target);
}

void ninePartScreenOpaque(benchmark::State& state) { ninePartScreen(state, false); }
void ninePartScreenMasked(benchmark::State& state) { ninePartScreen(state, true); }

void scalableText(benchmark::State& state, bool antialiased)
{
    if (!startAllegro()) {
        state.SkipWithError("Allegro could not start");
        return;
    }
    set_color_depth(int(state.range(0)));
    theSettings.antialiasing = antialiased;
    Font font;
    font.setSize(14);
    if (font.load(kFontFile) != Error(0) || !font.isScalable()) {
        state.SkipWithError("DejaVu Sans could not be loaded as a scalable font");
        return;
    }
    BITMAP* target = create_bitmap(800, 40);
    clear_to_color(target, makecol(210, 210, 210));
    const int colour = makecol(16, 16, 16);
    for (auto _ : state)
        font.draw(target, kLine, 4, 10, colour, -1, Font::Left);
    state.SetItemsProcessed(state.iterations() * 60);
    destroy_bitmap(target);
    theSettings.antialiasing = true;
}

void scalableTextAntialiased(benchmark::State& state) { scalableText(state, true); }
void scalableTextPlain(benchmark::State& state) { scalableText(state, false); }

} // namespace

BENCHMARK(defaultSkin)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(resetToDefault)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(paintAllBuiltinBitmaps)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(ninePartScreenOpaque)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(ninePartScreenMasked)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(scalableTextAntialiased)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(scalableTextPlain)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
