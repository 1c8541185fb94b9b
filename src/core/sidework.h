#pragma once

#include <functional>

// Runs `work` on a thread of its own and returns once it is done; meanwhile
// the calling thread goes on handling its events (timers, painting, the
// window system's pings), but not the user's input, which waits until the
// work is done. `work` must touch nothing that those events touch.
void runBesideEvents(const std::function<void()> &work);
