#include "commands/FillBlock.h"

#include <algorithm>

namespace velkaro {

void FillBlock(Grid& cells, int col1, int row1, int col2, int row2, TColor colour) {
    const int left = std::clamp(std::min(col1, col2), 0, LastCol);
    const int right = std::clamp(std::max(col1, col2), 0, LastCol);
    const int top = std::clamp(std::min(row1, row2), 0, LastRow);
    const int bottom = std::clamp(std::max(row1, row2), 0, LastRow);
    for (int r = top; r <= bottom; ++r) std::fill(cells[r] + left, cells[r] + right + 1, colour);
}

} // namespace velkaro
