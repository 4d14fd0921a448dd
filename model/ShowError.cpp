#include "model/ShowError.h"

namespace velkaro {

std::string WithFullStop(const std::string& message) {
    if (message.empty()) return message;
    // Bytes of a multi-byte UTF-8 character are all above 0x7F, so they sort after '.' too.
    const auto last = static_cast<unsigned char>(message.back());
    return last > '.' ? message + "." : message;
}

} // namespace velkaro
