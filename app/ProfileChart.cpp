// Axes, ticks, numbers and the line of the elevation profile chart.
#include "app/ProfileChart.h"

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/Bitmap.h"
#include "gui/Font.h"
#include "gui/Skin.h"

namespace {

// The chart's colours as (red, green, blue).
constexpr int paper[3] = {255, 255, 255};
constexpr int ink[3] = {0, 0, 0};
constexpr int lineInk[3] = {170, 40, 20};

int colourOf(BITMAP* target, const int (&rgb)[3])
{
    return makecol_depth(bitmap_color_depth(target), rgb[0], rgb[1], rgb[2]);
}

// A tick's number: kilometres with a decimal comma when the step needs one.
std::string tickText(double value, double step)
{
    char text[32];
    if (step < 1.0) {
        const int decimals = step < 0.1 ? 2 : 1;
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        for (char* c = text; *c; ++c)
            if (*c == '.')
                *c = ',';
    } else {
        std::snprintf(text, sizeof text, "%.0f", value);
    }
    return text;
}

} // namespace

ProfileChart::ProfileChart() = default;
ProfileChart::~ProfileChart() = default;

void ProfileChart::setPoints(std::vector<vaskur_geo::TracePoint> points)
{
    points_ = std::move(points);
    redraw();
}

double ProfileChart::tickStep(double span, int parts)
{
    if (!(span > 0) || parts < 1)
        return 1.0;
    const double rough = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough)
            return factor * power;
    return 10.0 * power;
}

void ProfileChart::draw(Bitmap& canvas)
{
    BITMAP* target = canvas.bitmap();
    clear_to_color(target, colourOf(target, paper));
    static const Font builtIn;
    const Font& font = skin() ? skin()->font(0) : builtIn;
    const int black = colourOf(target, ink);

    // The plot area and the ranges it shows.
    const int left = leftMargin, top = topMargin;
    const int right = w() - rightMargin, bottom = h() - bottomMargin;
    if (right <= left || bottom <= top)
        return;
    double lengthKm = points_.empty() ? 1.0 : points_.back().distanceMetres / 1000.0;
    double low = 0, high = 100;
    if (!points_.empty()) {
        const auto [lo, hi] = std::minmax_element(points_.begin(), points_.end(),
            [](const auto& a, const auto& b) { return a.heightMetres < b.heightMetres; });
        low = lo->heightMetres;
        high = hi->heightMetres;
    }
    if (!(lengthKm > 0))
        lengthKm = 1.0;
    const double mStep = tickStep(std::max(high - low, 10.0), 4);
    low = std::floor(low / mStep) * mStep;
    high = std::max(std::ceil(high / mStep) * mStep, low + mStep);
    const double kmStep = tickStep(lengthKm, 6);
    auto px = [&](double km) { return left + static_cast<int>(std::lround((right - left) * km / lengthKm)); };
    auto py = [&](double m) {
        return bottom - static_cast<int>(std::lround((bottom - top) * (m - low) / (high - low)));
    };

    // Axes, ticks and their numbers.
    line(target, left, top, left, bottom, black);
    line(target, left, bottom, right, bottom, black);
    const int textHeight = font.textHeight();
    for (double km = 0; km <= lengthKm + kmStep * 1e-9; km += kmStep) {
        const int x = px(km);
        line(target, x, bottom, x, bottom + 3, black);
        font.draw(target, tickText(km, kmStep).c_str(), x, bottom + 4, black, -1, Font::Centre);
    }
    font.draw(target, "km", right + rightMargin - 1, bottom + 4, black, -1, Font::Right);
    for (double m = low; m <= high + mStep * 1e-9; m += mStep) {
        const int y = py(m);
        line(target, left - 3, y, left, y, black);
        font.draw(target, tickText(m, mStep).c_str(), left - 5, y - textHeight / 2, black, -1, Font::Right);
    }
    font.draw(target, "m", left + 4, top, black, -1, Font::Left);

    // The profile.
    const int ink = colourOf(target, lineInk);
    for (std::size_t i = 1; i < points_.size(); ++i) {
        line(target, px(points_[i - 1].distanceMetres / 1000.0), py(points_[i - 1].heightMetres),
            px(points_[i].distanceMetres / 1000.0), py(points_[i].heightMetres), ink);
    }
}
