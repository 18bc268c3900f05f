#pragma once

#include "image/DecodeProgress.h"
#include "image/ImageFormat.h"
#include "image/ScaledPicture.h"

#include <cstdio>
#include <optional>

namespace pirela {

// A thumbnail made from its original, and the size of the original's upright picture.
struct MadeThumbnail {
    ScaledPicture picture;
    int imageWidth = 0;
    int imageHeight = 0;
};

// The width and height of a picture fitted into a square box: the longer side the box's, never
// larger than the picture, neither less than one pixel.
struct FittedSize {
    int width = 0;
    int height = 0;
};
FittedSize FitIntoBox(int width, int height, int box);

// Makes the thumbnail of an open image file, upright as the file says, fitted into a box of
// the given side, decoding no more than it needs: a JPEG (or a raw file's JPEG preview) at the
// library's smallest scale still as large as the thumbnail, or from the camera's EXIF
// thumbnail when that is at least as large and of the photo's proportions; the camera roll's
// formats in the decoder helper; the picture then reduced by area averaging. None when the
// file cannot be decoded, or when the progress was asked to stop (it is the stop's only use).
std::optional<MadeThumbnail> MakeThumbnail(std::FILE* file, ImageFormat format, int box,
                                           DecodeProgress& progress);

} // namespace pirela
