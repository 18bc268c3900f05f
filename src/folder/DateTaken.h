#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pirela {

// When a photo was taken, as its file's EXIF records it: DateTimeOriginal, put in universal
// time by OffsetTimeOriginal where the camera recorded its offset, and read as this computer's
// local time where it did not (most cameras; the user mostly sorts at home what was shot there).
// Seconds since 1970; none when the file records no such date.
//
// The EXIF block is looked for, by the file's first bytes, where each format keeps it: a JPEG's
// APP1 segment, a TIFF-based raw file's own directories (TIFF, DNG, NEF, CR2, ARW, ORF, RW2,
// PEF, SRW), the JPEG inside a RAF, a PNG's eXIf chunk, a WebP's EXIF chunk, and the Exif item
// of a HEIF file (HEIC, AVIF) or the CMT2 box of a CR3. Only the few bytes on the way are read,
// each position and length checked against the file: a damaged or hostile file gives none.
std::optional<std::int64_t> ReadDateTaken(int descriptor);

// The same from a file's bytes in memory.
std::optional<std::int64_t> DateTakenOfBytes(const std::uint8_t* data, std::size_t size);

// "YYYY:MM:DD HH:MM:SS" with an optional offset "+HH:MM" as seconds since 1970; none when a
// field is out of its range (cameras write "0000:00:00 00:00:00" for no date).
std::optional<std::int64_t> ExifTimeToSeconds(std::string_view dateTime, std::string_view offset);

} // namespace pirela
