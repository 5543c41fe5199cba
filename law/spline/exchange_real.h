#pragma once
// The text of a real number in the exchange files the library writes (IGES and STEP): the
// shortest text that reads back as the same double, always with a decimal point ("1.",
// "-2.5E-07"), as both formats require of a real.
#include <string>

// v must be finite; the caller checks.
std::string exchange_real(double v);
