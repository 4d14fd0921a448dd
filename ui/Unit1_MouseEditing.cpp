// Painting, picking and selecting with the mouse on the grid, and the docked palette.
#include "ui/Unit1.h"

namespace velkaro {

void TFVelkaro::ConnectPaletteAndMouse() {}

} // namespace velkaro
