#pragma once

#include <cstdint>
#include <span>

namespace velkaro {

// A run-length picture as its headers give it: stored bottom-up, 4 or 8 bits a pixel.
struct RunLengthShape {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    int BitsPerPixel = 8;
};

// Whether run-length pixel data, from its first byte to the end of the file, holds every
// command it begins: a count with its colour byte, an escape with its second byte, a delta with
// both offsets, an absolute run with all its pixels (a missing padding byte aside). The data
// ends at the end-of-bitmap escape or at the end of line that closes the last row; what
// follows is not read. Data that simply stops between commands is whole: the pixels it never
// reaches keep index 0. An absolute run longer than what is left of its row counts as damaged
// too: the decoder may cut it at the row's end and read its remaining bytes as commands, which
// can then reach past the end of the data.
bool IsWholeRunLengthData(std::span<const unsigned char> data, const RunLengthShape& shape);

} // namespace velkaro
