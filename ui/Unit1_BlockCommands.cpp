// Whole-show mirrors, row and column commands and the block commands of the selection panel.
#include "ui/Unit1.h"

namespace velkaro {

void TFVelkaro::ConnectBlockCommands() {}

} // namespace velkaro
