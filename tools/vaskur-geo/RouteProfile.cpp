// The profile table and the profile charts.
#include "tools/vaskur-geo/RouteProfile.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>

namespace vaskur_geo {

namespace {

// Chart layout in SVG points: one chart below the other.
constexpr double chartWidth = 720, chartHeight = 300;
constexpr double marginLeft = 70, marginRight = 20, marginTop = 48, marginBottom = 48;

struct Range {
    double low, high;
};

// A tick step of 1, 2 or 5 times a power of ten giving about five ticks.
double tickStep(double span)
{
    const double rough = std::max(span, 1e-9) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double f : {1.0, 2.0, 5.0})
        if (f * power >= rough)
            return f * power;
    return 10 * power;
}

class Chart {
public:
    Chart(cairo_t* cr, double top, const RouteTrace& trace, std::size_t number)
        : cr_(cr), top_(top), trace_(trace), number_(number)
    {
        const double km = trace.points.back().distanceMetres / 1000.0;
        distance_ = {0.0, km > 0 ? km : 1.0};
        auto [low, high] = std::minmax_element(trace.points.begin(), trace.points.end(),
            [](const TracePoint& a, const TracePoint& b) { return a.heightMetres < b.heightMetres; });
        const double pad = std::max(1.0, (high->heightMetres - low->heightMetres) * 0.05);
        height_ = {low->heightMetres - pad, high->heightMetres + pad};
    }

    void draw()
    {
        caption();
        axes();
        line();
    }

private:
    double px(double km) const
    {
        return marginLeft + (km - distance_.low) / (distance_.high - distance_.low) * plotWidth();
    }
    double py(double metres) const
    {
        return top_ + marginTop + (height_.high - metres) / (height_.high - height_.low) * plotHeight();
    }
    static double plotWidth() { return chartWidth - marginLeft - marginRight; }
    static double plotHeight() { return chartHeight - marginTop - marginBottom; }

    void text(double x, double y, const std::string& s, double alignX)
    {
        cairo_text_extents_t e;
        cairo_text_extents(cr_, s.c_str(), &e);
        cairo_move_to(cr_, x - alignX * e.width - e.x_bearing, y);
        cairo_show_text(cr_, s.c_str());
    }

    void caption()
    {
        const RouteFigures& f = trace_.figures;
        char s[256];
        std::snprintf(s, sizeof s, "Route %zu: %.2f km, climb %.0f m, descent %.0f m, walk %s", number_,
            f.groundMetres / 1000.0, f.climbMetres, f.descentMetres, walkTimeText(f.walkSeconds).c_str());
        cairo_set_source_rgb(cr_, 0, 0, 0);
        cairo_set_font_size(cr_, 14);
        text(marginLeft, top_ + 22, s, 0.0);
    }

    void axes()
    {
        const double left = px(distance_.low), right = px(distance_.high);
        const double bottom = py(height_.low), up = py(height_.high);
        cairo_set_line_width(cr_, 1);
        cairo_rectangle(cr_, left, up, right - left, bottom - up);
        cairo_stroke(cr_);
        cairo_set_font_size(cr_, 11);
        const double xs = tickStep(distance_.high - distance_.low);
        for (double t = std::ceil(distance_.low / xs) * xs; t <= distance_.high + xs * 1e-9; t += xs) {
            cairo_move_to(cr_, px(t), bottom);
            cairo_line_to(cr_, px(t), bottom + 5);
            cairo_stroke(cr_);
            char s[32];
            std::snprintf(s, sizeof s, "%g", std::round(t / xs) * xs);
            text(px(t), bottom + 18, s, 0.5);
        }
        const double ys = tickStep(height_.high - height_.low);
        for (double t = std::ceil(height_.low / ys) * ys; t <= height_.high; t += ys) {
            cairo_move_to(cr_, left - 5, py(t));
            cairo_line_to(cr_, left, py(t));
            cairo_stroke(cr_);
            char s[32];
            std::snprintf(s, sizeof s, "%g", std::round(t / ys) * ys);
            text(left - 8, py(t) + 4, s, 1.0);
        }
        text((left + right) / 2, bottom + 38, "distance (km)", 0.5);
        cairo_save(cr_);
        cairo_move_to(cr_, 16, (up + bottom) / 2);
        cairo_rotate(cr_, -std::numbers::pi / 2);
        cairo_text_extents_t e;
        cairo_text_extents(cr_, "height (m)", &e);
        cairo_rel_move_to(cr_, -e.width / 2, 0);
        cairo_show_text(cr_, "height (m)");
        cairo_restore(cr_);
    }

    void line()
    {
        cairo_set_source_rgb(cr_, 0.1, 0.35, 0.7);
        cairo_set_line_width(cr_, 1.5);
        cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
        // The labels leave a current point behind; the line starts afresh.
        cairo_new_path(cr_);
        for (const TracePoint& p : trace_.points)
            cairo_line_to(cr_, px(p.distanceMetres / 1000.0), py(p.heightMetres));
        cairo_stroke(cr_);
    }

    cairo_t* cr_;
    double top_;
    const RouteTrace& trace_;
    std::size_t number_;
    Range distance_{}, height_{};
};

} // namespace

std::string walkTimeText(double seconds)
{
    const long total = std::lround(seconds);
    char s[64];
    if (total < 60)
        std::snprintf(s, sizeof s, "%ld s", total);
    else if (total < 3600)
        std::snprintf(s, sizeof s, "%ld min", (total + 30) / 60);
    else
        std::snprintf(s, sizeof s, "%ld h %02ld min", total / 3600, (total % 3600 + 30) / 60);
    return s;
}

bool writeProfileCsv(const std::string& file, const std::string& shown, const std::vector<RouteTrace>& routes,
    std::string& error)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(file.c_str(), "w"), std::fclose);
    bool ok = out && std::fputs("route,distance_m,elevation_m,slope_percent\n", out.get()) >= 0;
    for (std::size_t r = 0; ok && r < routes.size(); ++r)
        for (const TracePoint& p : routes[r].points)
            ok = std::fprintf(out.get(), "%zu,%.3f,%.3f,%.2f\n", r + 1, p.distanceMetres, p.heightMetres,
                     p.slopePercent)
                > 0;
    if (ok && std::fflush(out.get()) != 0)
        ok = false;
    if (!ok)
        error = "cannot write " + shown + ": " + std::strerror(errno);
    return ok;
}

bool writeProfileSvg(const std::string& file, const std::string& shown, const std::vector<RouteTrace>& routes,
    std::string& error)
{
    const double height = chartHeight * static_cast<double>(std::max<std::size_t>(routes.size(), 1));
    cairo_surface_t* surface = cairo_svg_surface_create(file.c_str(), chartWidth, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    for (std::size_t r = 0; r < routes.size(); ++r)
        if (!routes[r].points.empty())
            Chart(cr, chartHeight * static_cast<double>(r), routes[r], r + 1).draw();
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS)
        status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    // Cairo and fontconfig keep their font caches to the end of the process;
    // a tool draws one chart file, so give them back now, which also keeps
    // the leak checker quiet.
    cairo_debug_reset_static_data();
    FcFini();
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + shown + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

} // namespace vaskur_geo
