#pragma once
// The program's one way of waiting: a requester that must not go on before
// something has happened (its answer came, its pause is over) pumps the
// event loop here, so that socket answers, timers and repaints go on. This
// is the only place that calls processEvents.
#include <cstdint>
#include <functional>

// Pumps events until done() holds (true) or timeoutMs has passed (false;
// a negative timeout never passes). done() is tested before the first pass.
bool WaitUntil(const std::function<bool()> &done, int timeoutMs = -1);

// The waits on one request of a dialog's link are in link/GatewayLink.h.
