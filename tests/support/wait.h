#pragma once
// Waiting in tests without spinning: the event loop runs while the test
// waits for a condition.
#include <functional>

// Runs the event loop until `condition` holds or `timeoutMs` pass; returns it.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
