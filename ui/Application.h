#pragma once

class QApplication;

namespace velkaro {

// The look every window of the program is laid out for: one style everywhere and a
// sans-serif font 11 pixels high.
void ApplyVelkaroLook(QApplication& app);

} // namespace velkaro
