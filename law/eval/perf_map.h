#pragma once
// Names for machine code, for profilers: with LAW_PERF_MAP=1 in the environment, the code of each
// compiled law is written to /tmp/perf-PID.map as a line "START SIZE law NAME" (hexadecimal),
// which perf and other profilers read to name addresses in code that no file holds.
#include <cstddef>

class law;

// Whether the environment asks for the map (read once).
bool perf_map_wanted();
// One line for the code at start, of size bytes, of the law l (its text names it).
void perf_map_note(void const *start, std::size_t size, law const *l);
