#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace velkaro {

// A piece of a song decoded to interleaved float samples.
struct DecodedPiece {
    const float* Samples = nullptr;
    std::size_t Count = 0; // samples, all channels together
    int Rate = 0;
    int Channels = 0;
    std::int64_t SongLengthNs = 0; // 0 while the file does not tell
};

enum class DecodeEnd { Finished, Stopped, Failed, ModulesMissing };

// Decodes the song at path as fast as the processor allows to the raw float format `caps`
// names (rate and channels converted as it asks), on the calling thread. Every piece goes to
// `take` until the song ends, it fails, or `take` answers false; `keepGoing` is asked between
// waits for the decoder, so a stop is noticed within a tenth of a second.
DecodeEnd DecodeSong(const std::string& path, const std::string& caps,
                     const std::function<bool(const DecodedPiece&)>& take,
                     const std::function<bool()>& keepGoing = {});

} // namespace velkaro
