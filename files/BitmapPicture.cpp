#include "files/Bitmap.h"

#include <algorithm>

namespace velkaro {

void BitmapPicture::Resize(int width, int height) {
    Width = std::max(width, 0);
    Height = std::max(height, 0);
    Pixels.resize(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height));
}

PictureSize ImportedSize(const BitmapPicture& picture) {
    return {std::clamp(picture.Width, 0, MaxOutputs), std::clamp(picture.Height, 0, MaxSteps)};
}

PictureSize ImportBitmap(const BitmapPicture& picture, Grid& cells) {
    const PictureSize size = ImportedSize(picture);
    for (int y = 0; y < size.Height; ++y) {
        TColor* row = cells[y];
        for (int x = 0; x < size.Width; ++x) row[x] = picture.Pixel(x, y);
    }
    return size;
}

void ExportBitmap(const Grid& cells, int outputs, int steps, BitmapPicture& picture) {
    picture.Resize(std::clamp(outputs, 0, MaxOutputs), std::clamp(steps, 0, MaxSteps));
    for (int y = 0; y < picture.Height; ++y)
        std::copy_n(cells[y], picture.Width,
                    picture.Pixels.data() + std::size_t(y) * picture.Width);
}

} // namespace velkaro
