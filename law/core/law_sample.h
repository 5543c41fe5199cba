#pragma once
// Sampling a law at one value whatever its dimensions.
class law;

// The first output of l with t as its first input and 0 for any further input.
double value_at(law const *l, double t);
