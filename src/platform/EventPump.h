#pragma once

#include <cmath>

// The user-interface thread's message loop, as the waiting code needs it.
class IEventPump
{
public:
    virtual ~IEventPump() = default;
    // Handles all window events that are waiting, once.
    virtual void doEvents() = 0;
    // Runs the message loop for about the given time, handling events as they come, without
    // keeping the processor busy.
    virtual void runFor(int milliseconds) = 0;
    // Seconds on a clock that never jumps (not the time of day).
    virtual double monotonicSeconds() const = 0;
};

// Waits, handling window events meanwhile, without keeping the processor busy.
inline void pause(IEventPump &events, float seconds)
{
    // A monotonic clock: the time of day jumps at midnight and when the clock is set.
    const double end = events.monotonicSeconds() + double(seconds);
    for (;;) {
        events.doEvents();
        const double now = events.monotonicSeconds();
        if (now >= end)
            break;
        events.runFor(int(std::ceil((end - now) * 1000.0)));
    }
}
