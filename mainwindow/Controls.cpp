#include "mainwindow/Controls.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quorvel {

namespace {

// Rounds half away from zero, as MulDiv does.
int scaleRounded(int value, int numerator, int denominator)
{
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

} // namespace

int twipsToPixels(int twips, int dpi)
{
    return scaleRounded(twips, dpi, 1440);
}

PixelRect layout(const TwipsRect& t, int dpi)
{
    return {twipsToPixels(t.left, dpi), twipsToPixels(t.top, dpi), twipsToPixels(t.width, dpi),
            twipsToPixels(t.height, dpi)};
}

int fontHeight(int dpi)
{
    return -scaleRounded(fontSizeCentipoints, dpi, 7200);
}

ControlId nextInTabOrder(ControlId current, bool backwards, bool (*canFocus)(ControlId, void*), void* context)
{
    std::vector<const ControlDef*> order;
    for (const ControlDef& c : controls)
        if (c.kind != ControlKind::groupFrame)
            order.push_back(&c);
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    const auto n = static_cast<int>(order.size());
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (order[i]->id == current)
            at = i;
    if (at < 0)
        at = backwards ? 0 : n - 1; // so the first step lands on an end
    for (int step = 1; step <= n; ++step) {
        const int i = ((backwards ? at - step : at + step) % n + n) % n;
        if (canFocus(order[i]->id, context))
            return order[i]->id;
    }
    return current;
}

} // namespace quorvel
