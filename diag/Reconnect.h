#pragma once
// Automatic reconnection after a connection that dropped on its own.
//
// The delay before attempt n (n = 1, 2, ...) after the drop: 1, 2, 4, 8 and
// 16 s, then every 30 s, for as long as the connection stays down and the
// user does not disconnect.
#include <cstdint>

int64_t reconnectDelayMs(int attempt);
