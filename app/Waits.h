#pragma once
// Waits that keep the program alive: they pump the event loop, so socket
// answers, timers and repaints go on while a requester waits.
class ModbusLink;

// Pumps events until the link's LastRequestTag is 0xFF again (an answer was
// handled) or timeoutMs has passed. True when an answer came in time.
bool WaitForReadAnswer(ModbusLink &link, int timeoutMs);
