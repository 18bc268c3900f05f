// Arbitrary bytes as a jpeg file, read every way the program reads one: whole, as the scaled
// preview, as the bitmap made from the header and filled later, and with a progress. Each must
// give a sound bitmap or none, never crash, leak or allocate past the bound.
#include "ImageFuzzer.h"

#include "image/JpegReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pirela;
    WithStream(data, size, [](std::FILE* file) { CheckBitmap(ReadJpegStream(file).get()); });
    WithStream(data, size, [](std::FILE* file) {
        JpegReadOptions preview;
        preview.smallestWanted = [](int width, int height) {
            return std::pair{width / 5, height / 3};
        };
        preview.onlyWhenSmaller = true;
        CheckBitmap(ReadJpegStream(file, preview).get());
    });
    WithStream(data, size, [](std::FILE* file) {
        JpegReadOptions header;
        header.bitmapOnly = true;
        const auto bitmap = ReadJpegStream(file, header);
        CheckBitmap(bitmap.get());
        if (bitmap) {
            std::rewind(file);
            CheckedProgress progress;
            JpegReadOptions fill;
            fill.progress = progress.Get();
            progress.Get()->Started(*bitmap);
            const bool filled = ReadJpegStreamInto(file, *bitmap, fill);
            progress.Check(filled ? bitmap.get() : nullptr);
        }
    });
    WithStream(data, size, [](std::FILE* file) {
        CheckedProgress progress;
        JpegReadOptions options;
        options.progress = progress.Get();
        options.applyOrientation = false;
        const auto bitmap = ReadJpegStream(file, options);
        progress.Check(bitmap.get());
    });
    return 0;
}
