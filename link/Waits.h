#pragma once
// The program's one way of waiting: a requester that must not go on before
// something has happened (its answer came, its pause is over) pumps the
// event loop here, so that socket answers, timers and repaints go on. This
// is the only place that calls processEvents.
#include <cstdint>
#include <functional>

class ModbusLink;

// Pumps events until done() holds (true) or timeoutMs has passed (false;
// a negative timeout never passes). done() is tested before the first pass.
bool WaitUntil(const std::function<bool()> &done, int timeoutMs = -1);

// Waits for the answer to the request `serial` of the link (matched, or
// late after the link's own timeout) for at most timeoutMs (negative: no
// limit). Ends early, with false, when giveUp() holds. Answers to other
// requests, whoever sent them, never end it. True when the answer came.
bool WaitForAnswer(ModbusLink &link, uint64_t serial, int timeoutMs,
                   const std::function<bool()> &giveUp = {});

// Waits until the request `serial` is no longer in flight: answered, timed
// out by the link, or dropped with the connection.
void WaitUntilSettled(ModbusLink &link, uint64_t serial);
