#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pirela {

// What the camera recorded about a photo, as the properties dialog and the status bar show it.
// Each text is empty when the photo does not record it.
struct CameraFacts {
    std::string taken;       // "2024年3月5日 07:08:09", as the camera's clock had it
    std::string camera;      // "NIKON D750" (the maker only when the model does not name it)
    std::string lens;        // "AF-S NIKKOR 24-70mm f/2.8G ED"
    std::string exposure;    // "1/250 秒", "2.5 秒"
    std::string fNumber;     // "f/2.8", "f/8"
    std::string iso;         // "ISO 400"
    std::string focalLength; // "50 mm (35 mm 換算 75 mm)"
    std::string orientation; // "標準", "時計回りに 90 度回転" ...

    bool Any() const;
    bool operator==(const CameraFacts&) const = default;
};

// The facts an EXIF block records ("Exif\0\0" and a TIFF header), read by libexif, which checks
// every offset against the block's size; none from a damaged or foreign block.
CameraFacts CameraFactsOf(const std::uint8_t* block, std::size_t size);

// The photo file's facts, from the block ReadExifBlock finds.
CameraFacts ReadCameraFacts(const std::string& path);

// The status bar's short line: exposure, f-number, ISO and focal length, those recorded,
// "1/250 秒  f/2.8  ISO 400  50 mm".
std::string CameraLine(const CameraFacts& facts);

} // namespace pirela
