#include "files/ShowFingerprint.h"

#include "files/RecordEncoder.h"

#include <array>
#include <cstring>

namespace velkaro {

namespace {

// MurmurHash64A's mixing, fed eight bytes at a time: fast enough to hash a 10,000-step show
// within a few milliseconds, and every byte reaches every bit of the result.
class RunningHash {
public:
    void AddRecord(const std::uint8_t* record) {
        static_assert(ShowRecord::Size % 8 == 0);
        for (std::size_t at = 0; at < ShowRecord::Size; at += 8) {
            std::uint64_t word;
            std::memcpy(&word, record + at, 8);
            AddWord(word);
        }
        ++records_;
    }

    std::uint64_t Result() const {
        std::uint64_t h = state_ ^ (records_ * Multiplier);
        h ^= h >> Shift;
        h *= Multiplier;
        h ^= h >> Shift;
        return h;
    }

private:
    static constexpr std::uint64_t Multiplier = 0xc6a4a7935bd1e995ull;
    static constexpr int Shift = 47;

    void AddWord(std::uint64_t word) {
        word *= Multiplier;
        word ^= word >> Shift;
        word *= Multiplier;
        state_ ^= word;
        state_ *= Multiplier;
    }

    std::uint64_t state_ = 0x5eed0f5eedull;
    std::uint64_t records_ = 0;
};

} // namespace

std::uint64_t ShowFingerprint(const Grid& cells, const ShowSettings& settings, bool monoMode) {
    const RecordEncoder encoder(settings, monoMode);
    RunningHash hash;
    std::array<std::uint8_t, ShowRecord::Size> record;
    for (int row = 0; row < encoder.Records(); ++row) {
        encoder.Encode(cells, row, record.data());
        hash.AddRecord(record.data());
    }
    return hash.Result();
}

} // namespace velkaro
