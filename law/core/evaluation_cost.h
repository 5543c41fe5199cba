#pragma once
// What one evaluation of a law costs, in units of one compiled addition: the measure by which
// a simplified form may not be slower than its law.
class law;

// The cost of evaluating l through its tape: each distinct sub-law once (the tape computes a
// shared sub-tree once), sub-trees without inputs free (the tape folds them), and each operation
// at its weight. The weights follow the evaluation benchmark on one core: an operation of the
// tape costs about a nanosecond, a square root or a division about two, the standard library's
// pow and the transcendental functions ten to twenty.
double evaluation_cost(law const *l);
