#include "image/GifFile.h"

namespace pirela {

int ReadGifFromDescriptor(GifFileType* gif, GifByteType* buffer, int bytes) {
    auto* reader = static_cast<DescriptorReader*>(gif->UserData);
    return bytes <= 0 ? 0 : static_cast<int>(reader->Read(buffer, static_cast<std::size_t>(bytes)));
}

void CloseGif::operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
}

std::vector<int> GifRowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) {
            order.push_back(y);
        }
        return order;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) {
            order.push_back(y);
        }
    }
    return order;
}

} // namespace pirela
