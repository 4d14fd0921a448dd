#include "files/BitmapRunLength.h"

#include <algorithm>
#include <cstddef>

namespace velkaro {

namespace {

// A first byte of 0 makes a command an escape; its second byte says which.
constexpr unsigned char Escape = 0;
enum EscapeCode : unsigned char { EndOfLine = 0, EndOfBitmap = 1, Delta = 2 };

enum class Step { Next, Finished, Damaged };

// Where a walk through the commands stands: the next byte to read and the next pixel to paint.
struct Position {
    std::size_t At = 0;
    std::int64_t X = 0;
    std::int64_t Y = 0;
};

class CommandWalk {
public:
    CommandWalk(std::span<const unsigned char> data, const RunLengthShape& shape)
        : data_(data), shape_(shape) {}

    bool AtEnd() const { return position_.At >= data_.size(); }

    Step TakeCommand() {
        if (!Holds(2)) return Step::Damaged; // a count without its colour, an escape cut short
        const unsigned char count = data_[position_.At];
        const unsigned char code = data_[position_.At + 1];
        if (count != Escape) return TakeEncodedRun(count);
        switch (code) {
        case EndOfLine:
            return TakeEndOfLine();
        case EndOfBitmap:
            return Step::Finished;
        case Delta:
            return TakeDelta();
        default:
            return TakeAbsoluteRun(code);
        }
    }

private:
    bool Holds(std::size_t bytes) const { return data_.size() - position_.At >= bytes; }

    Step TakeEncodedRun(unsigned char pixels) {
        position_.X += pixels;
        position_.At += 2;
        return Step::Next;
    }

    // The decoder stops once the last row is closed.
    Step TakeEndOfLine() {
        position_.X = 0;
        position_.At += 2;
        return ++position_.Y >= shape_.Height ? Step::Finished : Step::Next;
    }

    Step TakeDelta() {
        if (!Holds(4)) return Step::Damaged;
        position_.X += data_[position_.At + 2];
        position_.Y += data_[position_.At + 3];
        position_.At += 4;
        return Step::Next;
    }

    Step TakeAbsoluteRun(unsigned char pixels) {
        const std::size_t pixelBytes = shape_.BitsPerPixel == 4 ? (pixels + 1u) / 2 : pixels;
        if (position_.X + pixels > shape_.Width || !Holds(2 + pixelBytes)) return Step::Damaged;
        // Each absolute run fills a whole number of 16-bit words.
        const std::size_t paddedBytes = pixelBytes + (pixelBytes & 1);
        position_.At = std::min(position_.At + 2 + paddedBytes, data_.size());
        position_.X += pixels;
        return Step::Next;
    }

    std::span<const unsigned char> data_;
    RunLengthShape shape_;
    Position position_;
};

} // namespace

bool IsWholeRunLengthData(std::span<const unsigned char> data, const RunLengthShape& shape) {
    CommandWalk walk(data, shape);
    while (!walk.AtEnd()) {
        switch (walk.TakeCommand()) {
        case Step::Next:
            break;
        case Step::Finished:
            return true;
        case Step::Damaged:
            return false;
        }
    }
    return true;
}

} // namespace velkaro
