#pragma once

#include "model/Color.h"
#include "model/Grid.h"

#include <cstddef>
#include <string>
#include <vector>

namespace velkaro {

inline constexpr const char* InvalidBitmapMessage = "Bitmap ist ungültig";

// A picture as the show sees it: Width x Height TColor pixels, row by row from the top left.
// The window keeps one of these as the last imported or exported picture; loading or exporting
// into the same object reuses its pixel buffer.
struct BitmapPicture {
    int Width = 0;
    int Height = 0;
    std::vector<TColor> Pixels; // pixel (x, y) at y * Width + x

    TColor Pixel(int x, int y) const { return Pixels[Index(x, y)]; }
    TColor& Pixel(int x, int y) { return Pixels[Index(x, y)]; }
    void Resize(int width, int height);

private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
               static_cast<std::size_t>(x);
    }
};

// How many outputs (Width) and steps (Height) a picture gives a show.
struct PictureSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const PictureSize&) const = default;
};

// Reads the picture file at path into picture, which is left as it was if anything fails. Only
// the part a show can take is kept: at most 168 columns and 10000 rows from the top left.
// .bmp and .dib files (in any letter case) are decoded as bitmaps; .ico, .wmf and .emf files
// give the empty 0 x 0 picture. Throws ShowError with the German message: an unknown
// extension, a file that cannot be opened or read, or "Bitmap ist ungültig".
void LoadBitmapFile(const std::string& path, BitmapPicture& picture);

// The size the show takes from a picture: its width cut to 168 and its height cut to 10000.
PictureSize ImportedSize(const BitmapPicture& picture);

// Copies pixel (x, y) into cells[y][x] for the ImportedSize area; no other cell changes.
// Returns ImportedSize(picture).
PictureSize ImportBitmap(const BitmapPicture& picture, Grid& cells);

// Makes picture outputs x steps pixels (each cut to 0..168 and 0..10000) with pixel (x, y)
// taken from cells[y][x]: the cells' full colours, whatever the window draws.
void ExportBitmap(const Grid& cells, int outputs, int steps, BitmapPicture& picture);

// Writes picture as a 32-bit uncompressed bitmap file. The file is written beside the target
// under a temporary name and renamed over it only when complete, so a failed export leaves an
// existing file as it was. Throws ShowError with the German message.
void SaveBitmapFile(const std::string& path, const BitmapPicture& picture);

// Whether the headers of a bitmap file held in memory describe a picture whose data can be in
// the file: the "BM" signature, a known info header size, one plane, a bit count with a fitting
// compression, a positive width, a height other than 0 (negative only when uncompressed), and
// uncompressed pixel data (and any stated image size) within the file. Run-length pixel data
// must start after the colour table, be cut nowhere inside a command and hold no absolute run
// longer than its row: the decoder would fill such runs from memory it never read.
bool HasSoundBitmapHeaders(const unsigned char* data, std::size_t size);

} // namespace velkaro
