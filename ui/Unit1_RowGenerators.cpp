// The buttons that generate steps from the first or last step.
#include "ui/Unit1.h"

namespace velkaro {

void TFVelkaro::ConnectRowGenerators() {}

} // namespace velkaro
