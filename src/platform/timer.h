// A periodic timer as the core sees it: an interval and a switch.
#pragma once

namespace pellorin {

// The shell runs a real timer exactly while Enabled is true and calls the
// timer's tick handler once per Interval; tests call the handler by hand.
struct Timer {
    int Interval = 0; // milliseconds
    bool Enabled = false;
};

} // namespace pellorin
