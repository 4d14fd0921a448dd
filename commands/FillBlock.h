#pragma once

#include "model/Grid.h"

namespace velkaro {

// Paints every cell between the two corners, both included, in whatever order they come.
void FillBlock(Grid& cells, int col1, int row1, int col2, int row2, TColor colour);

} // namespace velkaro
