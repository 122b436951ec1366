#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>

// The best of `repeats` runs of `work`, in milliseconds: on a shared machine the fastest run
// is the one least disturbed.
inline double bestOf(int repeats, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, clock.nsecsElapsed() / 1e6);
    }
    return best;
}
