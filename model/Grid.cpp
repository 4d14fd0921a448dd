#include "model/Grid.h"

#include <algorithm>
#include <cstring>

namespace velkaro {

std::unique_ptr<Grid> NewGrid() {
    return std::make_unique<Grid>();
}

void CopyGrid(Grid& to, const Grid& from) {
    if (&to != &from) std::memcpy(to.cells.data(), from.cells.data(), GridBytes);
}

void ClearCells(Grid& cells) {
    for (int r = 0; r < WorkRows; ++r) std::fill_n(cells[r], WorkCols, Black);
}

} // namespace velkaro
