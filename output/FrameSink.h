#pragma once

#include "model/DmxFrame.h"

namespace velkaro {

// Where the engine's rendered frames go. Send runs on the engine's thread at every frame
// deadline, so it must hand the frame on and return: it never waits for the network.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void Send(const DmxFrame& frame) = 0;
};

} // namespace velkaro
