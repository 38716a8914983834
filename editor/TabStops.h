// Tab stops: a blank-separated list of 1-based columns ("3 5"); beyond the last
// stop the stops go on at the distance between the last two.
#pragma once

#include <string_view>
#include <vector>

namespace vantorel {

// The stops as 0-based columns, in the order written. The list ends at the first
// empty piece (so a doubled or leading blank ends it). Throws Exception
// "'<piece>' is not a valid integer value" for a piece that is not a number.
std::vector<int> ParseTabStops(std::string_view tabStops);

// The next stop right of column x (next) or the previous stop left of it.
// Where the grid beyond the last stop would have no width (an empty list for the
// previous stop, two equal last stops, or stops written in falling order) the grid
// is taken one column wide, so the answer is always defined.
int GetTabStop(std::string_view tabStops, int x, bool next);

}  // namespace vantorel
