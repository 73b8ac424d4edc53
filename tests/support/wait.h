#pragma once
// Waiting in tests without spinning: the event loop runs while the test
// waits for a condition.
#include <functional>

// Runs the event loop until `condition` holds or `timeoutMs` pass; returns it.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// The same, looking only every `stepMs`: the GUI thread sleeps between
// events, so the port's and the simulator's threads get the processor they
// would get in the program, and a measurement of the process's CPU time does
// not measure the waiting.
bool WaitIdly(const std::function<bool()>& condition, int timeoutMs, int stepMs = 20);
