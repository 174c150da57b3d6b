#include "engine/core/pass_clock.hpp"

namespace korvid {

PassClock passClock;

} // namespace korvid
