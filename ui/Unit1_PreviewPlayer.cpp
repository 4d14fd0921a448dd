// The preview bar that plays the show.
#include "ui/Unit1.h"

namespace velkaro {

void TFVelkaro::ConnectPreview() {}

} // namespace velkaro
