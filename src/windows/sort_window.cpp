#include "services/desktop.h"
#include "windows/windows.h"

#include <algorithm>
#include <array>
#include <string>

namespace {
const char* inputBox(int k)
{
    static const auto names = [] {
        std::array<std::string, 20> names;
        for (int i = 1; i <= 19; ++i)
            names[std::size_t(i)] = "编辑框" + std::to_string(i);
        return names;
    }();
    return names[std::size_t(k)].c_str();
}

void sortNumbers(Frame&)
{
    std::array<int, 19> sortValues{};
    writeProperty(SortWindow, "编辑框20", prop::text, "");
    for (int k = 1; k <= 19; ++k)
        sortValues[std::size_t(k - 1)] =
            toWholeNumber(readProperty(SortWindow, inputBox(k), prop::text).text);
    std::sort(sortValues.begin(), sortValues.end());
    for (int k = 1; k <= 19; ++k) {
        const Text value = toText(sortValues[std::size_t(k - 1)]);
        appendText(SortWindow, "编辑框20", k == 1 ? value : joinTexts("＜", value));
    }
}
} // namespace

// clang-format off
const WindowDefinition sortWindow{
    .caption = "数字排序 ",
    .outerWidth = 242,
    .outerHeight = 246,
    .controls = {
        // kind           name        container left top width height  start
        {Kind::EditBox, "编辑框20", nullptr, {8, 96, 216, 112}, {.readOnly = true, .multiLine = true}},
        {Kind::Button,  "按钮1",    nullptr, {40, 66, 192, 24}, {.text = "排序"}, {{event::clicked, sortNumbers}}},
        {Kind::EditBox, "编辑框19", nullptr, {0, 72, 32, 16}},
        {Kind::EditBox, "编辑框18", nullptr, {200, 48, 32, 16}},
        {Kind::EditBox, "编辑框17", nullptr, {160, 48, 32, 16}},
        {Kind::EditBox, "编辑框16", nullptr, {120, 48, 32, 16}},
        {Kind::EditBox, "编辑框15", nullptr, {80, 48, 32, 16}},
        {Kind::EditBox, "编辑框14", nullptr, {40, 48, 32, 16}},
        {Kind::EditBox, "编辑框13", nullptr, {0, 48, 32, 16}},
        {Kind::EditBox, "编辑框12", nullptr, {200, 24, 32, 16}},
        {Kind::EditBox, "编辑框11", nullptr, {160, 24, 32, 16}},
        {Kind::EditBox, "编辑框10", nullptr, {120, 24, 32, 16}},
        {Kind::EditBox, "编辑框9",  nullptr, {80, 24, 32, 16}},
        {Kind::EditBox, "编辑框8",  nullptr, {40, 24, 32, 16}},
        {Kind::EditBox, "编辑框7",  nullptr, {0, 24, 32, 16}},
        {Kind::EditBox, "编辑框6",  nullptr, {200, 0, 32, 16}},
        {Kind::EditBox, "编辑框5",  nullptr, {160, 0, 32, 16}},
        {Kind::EditBox, "编辑框4",  nullptr, {120, 0, 32, 16}},
        {Kind::EditBox, "编辑框3",  nullptr, {80, 0, 32, 16}},
        {Kind::EditBox, "编辑框2",  nullptr, {40, 0, 32, 16}},
        {Kind::EditBox, "编辑框1",  nullptr, {0, 0, 32, 16}},
    }};
// clang-format on
