#pragma once
// Where the W memory of the gateway's ladder lives in its Modbus map.
#include <optional>

// The Modbus reference number that holds ladder word address a; nullopt
// for addresses with no known area (among them 128..703, whose area is not
// known: showing a number there would name a register that does not hold
// the word).
std::optional<int> ladderWordReference(int a);
