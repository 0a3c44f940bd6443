// The reach of a tap (see TapReach.h): the nearest shown control within it.
#include "platform/TapReach.h"

#include "platform/Backend.h"
#include "platform/Core.h"

#include <algorithm>

namespace platform::backend {

namespace {

int squaredDistance(TapPoint tap, const Rect& r)
{
    const int dx = std::max({r.left - tap.x, 0, tap.x - (r.right - 1)});
    const int dy = std::max({r.top - tap.y, 0, tap.y - (r.bottom - 1)});
    return dx * dx + dy * dy;
}

// The topmost target under the point, or -1.
int targetAt(std::span<const Rect> targets, TapPoint point)
{
    for (int i = static_cast<int>(targets.size()) - 1; i >= 0; --i) {
        if (core::contains(targets[static_cast<std::size_t>(i)], point.x, point.y))
            return i;
    }
    return -1;
}

}  // namespace

std::vector<Rect> tapTargets()
{
    std::vector<Rect> targets;
    if (boxOpen()) {
        for (int answer : {answerYes, answerNo}) {
            const Rect button = boxButtonRect(answer);
            if (!core::isEmpty(button))
                targets.push_back(button);
        }
        return targets;
    }
    if (dialogOpen() || popupOpen())
        return targets;
    for (const ShownControl& control : shownControls())
        targets.push_back(control.rect);
    const Rect menuButton = menuButtonRect();
    if (!core::isEmpty(menuButton))
        targets.push_back(menuButton);
    return targets;
}

TapPoint reachTarget(TapPoint tap, int reach, std::span<const Rect> targets)
{
    if (reach <= 0 || targetAt(targets, tap) >= 0)
        return tap;
    int nearest = -1;
    int nearestDistance = reach * reach + 1;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (core::isEmpty(targets[i]))
            continue;
        const int distance = squaredDistance(tap, targets[i]);
        if (distance < nearestDistance) {
            nearest = static_cast<int>(i);
            nearestDistance = distance;
        }
    }
    if (nearest < 0)
        return tap;
    const Rect& r = targets[static_cast<std::size_t>(nearest)];
    const TapPoint edge{std::clamp(tap.x, r.left, r.right - 1), std::clamp(tap.y, r.top, r.bottom - 1)};
    if (targetAt(targets, edge) == nearest)
        return edge;
    return {(r.left + r.right - 1) / 2, (r.top + r.bottom - 1) / 2};
}

int fingerReach(int scaleThousandths)
{
    // A screen shown at no size takes no taps; the least reach stands in.
    if (scaleThousandths <= 0)
        return 1;
    const long long cssThousandths = static_cast<long long>(fingerReachCssPixels) * 1000;
    const long long reach = (2 * cssThousandths + scaleThousandths) / (2LL * scaleThousandths);  // halves up
    return static_cast<int>(std::max(1LL, reach));
}

void queueFingerTap(int x, int y, int scaleThousandths)
{
    const std::vector<Rect> targets = tapTargets();
    const TapPoint tap = reachTarget({x, y}, fingerReach(scaleThousandths), targets);
    queueTap(tap.x, tap.y);
}

}  // namespace platform::backend
