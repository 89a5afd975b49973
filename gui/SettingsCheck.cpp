// Settings::checkValues: the integer settings a settings file gave no
// number for, or one the framework cannot work with, back to their
// initial values, each with a line saying so.
#include "gui/Settings.h"

#include <algorithm>
#include <string>

namespace {

bool isColorDepth(int depth)
{
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

// The range of one integer setting.
struct Rule {
    const char* key;
    int Settings::*field;
    int lowest;
    int highest;           // 0: no upper bound
    bool colorDepth = false;
    bool keepMinusOne = false;
};

bool acceptable(const Rule& rule, int value)
{
    if (rule.colorDepth)
        return value < 1 || isColorDepth(value);
    if (rule.keepMinusOne && value == -1)
        return true;
    return value >= rule.lowest && (rule.highest <= 0 || value <= rule.highest);
}

} // namespace

void Settings::checkValues(int screenW, int screenH)
{
    constexpr int any = -2147483647 - 1;
    const Rule rules[] = {
        {"screenWidth", &Settings::screenWidth, smallestWidth, screenW},
        {"screenHeight", &Settings::screenHeight, smallestHeight, screenH},
        {"refreshRate", &Settings::refreshRate, 0, 0},
        {"colorDepth", &Settings::colorDepth, 0, 0, true},
        {"logicFrameRate", &Settings::logicFrameRate, 1, 0},
        {"soundVolume", &Settings::soundVolume, 0, 255},
        {"doubleClickDelay", &Settings::doubleClickDelay, 0, 0},
        {"mouseSpeed", &Settings::mouseSpeed, 1, 0},
        {"keyDelay", &Settings::keyDelay, 0, 0, false, true},
        {"keyRepeat", &Settings::keyRepeat, 0, 0, false, true},
        {"screenUpdateMethod", &Settings::screenUpdateMethod, any, 0},
        {"maxFrameSkip", &Settings::maxFrameSkip, 0, 0},
    };
    const Settings initial;
    for (const Rule& rule : rules) {
        const auto given = std::ranges::find(notNumbers, std::string(rule.key),
                                             &std::pair<std::string, std::string>::first);
        const bool number = given == notNumbers.end();
        int& value = this->*rule.field;
        if (number && acceptable(rule, value))
            continue;
        const std::string text = number ? std::to_string(value) : given->second;
        value = initial.*rule.field;
        replaced.push_back(fileName + ": " + rule.key + " = " + text + " cannot be used; " +
                           std::to_string(value) + " is used instead");
    }
    notNumbers.clear();
}
