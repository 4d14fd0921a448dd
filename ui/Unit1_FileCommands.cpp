// The "Datei" commands: loading, saving and appending DMX show files.
#include "ui/Unit1.h"

namespace velkaro {

void TFVelkaro::ConnectFileCommands() {}

} // namespace velkaro
