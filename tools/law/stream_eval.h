#pragma once
// Streamed evaluation: one point per input line, one line of values per point.
class law;

namespace law_tool {

// Reads points from in_fd until end of file and writes the values of l at each to out_fd, a line
// of numbers or, with json, an object {"line", "point", "values"} a point.
// Raises tool_error naming the line of a point that cannot be read or evaluated; the values of
// the lines before it have been written.
void evaluate_stream(law const &l, int in_fd, int out_fd, bool json = false);

}  // namespace law_tool
