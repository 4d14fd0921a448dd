// Bitmap import and export.
#include "ui/Unit1.h"

namespace velkaro {

void TFVelkaro::ConnectBitmapCommands() {}

} // namespace velkaro
