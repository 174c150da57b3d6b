#pragma once
// How the generator's long steps report how far they are: the fraction done, from 0 to 1,
// called on the thread that does the step. An empty function reports nothing.

#include <functional>

namespace dataset {

using StepProgress = std::function<void(double fraction)>;

inline void report(const StepProgress& progress, double fraction) {
    if (progress)
        progress(fraction);
}

} // namespace dataset
