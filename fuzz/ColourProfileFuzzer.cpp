// Arbitrary bytes as a photo's embedded colour profile, the way Pirela uses one: read, named for
// the properties, and made into a transform to an sRGB and to a wide-gamut display that then
// converts every pixel layout. A profile LittleCMS cannot read gives no transform; nothing may
// crash, leak or read outside the pixels.
#include "ImageFuzzer.h"
#include "colour/ColourProfile.h"
#include "colour/ColourTransform.h"

#include <vector>

namespace {

using namespace pirela;

// A display of the P3 primaries with a plain gamma: another target than sRGB.
std::shared_ptr<const ColourProfile> WideDisplay() {
    static const auto display = [] {
        ColourDescription p3;
        p3.primaries = Chromaticities{0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
        p3.transfer = TransferCurve::Gamma;
        return ColourProfile::From(p3);
    }();
    return display;
}

void ConvertEveryLayout(const ColourTransform& transform) {
    for (const std::uint16_t bits : {24, 32}) {
        BitmapInfoHeader header;
        header.width = 7;
        header.height = -3;
        header.bitCount = bits;
        auto bitmap = Bitmap::Create(header);
        for (std::size_t i = 0; i < bitmap->PixelBytes(); ++i) {
            bitmap->Pixels()[i] = static_cast<std::uint8_t>(i * 37);
        }
        transform.ConvertRows(*bitmap, 0, bitmap->Height());
        CheckBitmap(bitmap.get());
    }
    std::vector<RgbQuad> table{{0, 0, 0, 0}, {255, 255, 255, 0}, {10, 200, 90, 0}};
    transform.ConvertTable(table);
    for (const bool alpha : {false, true}) {
        ScaledPicture picture{
            3, 2, alpha, {0xFF102030, 0x80404040, 0x00000000, 0xFFFFFFFF, 0x7F7F0000, 0xFF00FF00}};
        transform.ConvertPicture(picture);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ColourDescription description;
    description.icc.assign(data, data + size);
    (void)ColourProfileName(&description);
    for (const auto& display : {ColourProfile::Srgb(), WideDisplay()}) {
        if (const auto transform = ColourTransform::ToDisplay(description, display)) {
            ConvertEveryLayout(*transform);
        }
    }
    return 0;
}
