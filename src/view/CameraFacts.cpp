#include "view/CameraFacts.h"

#include "res/Messages.h"
#include "view/ExifBlock.h"

#include <libexif/exif-data.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace pirela {

namespace {

struct ReleaseExif {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

// The entry of the tag in whichever directory holds it, with at least one value of the format.
const ExifEntry* Entry(ExifData& exif, ExifTag tag, ExifFormat format) {
    for (ExifContent* directory : exif.ifd) {
        const ExifEntry* entry = exif_content_get_entry(directory, tag);
        const std::size_t unit = exif_format_get_size(format);
        if (entry != nullptr && entry->format == format && entry->components >= 1 &&
            entry->data != nullptr && unit > 0 && entry->size >= unit) {
            return entry;
        }
    }
    return nullptr;
}

// An ASCII value without the NULs and blanks that pad it.
std::string Text(ExifData& exif, ExifTag tag) {
    const ExifEntry* entry = Entry(exif, tag, EXIF_FORMAT_ASCII);
    if (entry == nullptr) {
        return {};
    }
    std::string text(reinterpret_cast<const char*>(entry->data), entry->size);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    const std::size_t last = text.find_last_not_of(' ');
    text.resize(last == std::string::npos ? 0 : last + 1);
    return text.substr(std::min(text.size(), text.find_first_not_of(' ')));
}

std::optional<double> Rational(ExifData& exif, ExifTag tag) {
    const ExifEntry* entry = Entry(exif, tag, EXIF_FORMAT_RATIONAL);
    if (entry == nullptr) {
        return std::nullopt;
    }
    const ExifRational value = exif_get_rational(entry->data, exif_data_get_byte_order(&exif));
    if (value.denominator == 0 || value.numerator == 0) {
        return std::nullopt;
    }
    return static_cast<double>(value.numerator) / value.denominator;
}

std::optional<unsigned> Short(ExifData& exif, ExifTag tag) {
    const ExifEntry* entry = Entry(exif, tag, EXIF_FORMAT_SHORT);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return exif_get_short(entry->data, exif_data_get_byte_order(&exif));
}

std::string Format(const char* format, auto... values) {
    char text[64];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// "%g" without its exponent form: 2.8, 8, 0.5.
std::string Number(double value) {
    return Format("%.1f", value).ends_with(".0") ? Format("%.0f", value) : Format("%.1f", value);
}

// "2024:03:05 07:08:09" as "2024年3月5日 07:08:09"; a value in another shape as it is.
std::string TakenText(const std::string& value) {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (std::sscanf(value.c_str(), "%4d:%2d:%2d %2d:%2d:%2d", &year, &month, &day, &hour, &minute,
                    &second) != 6 ||
        year <= 0) {
        return value;
    }
    return Format("%d年%d月%d日 %02d:%02d:%02d", year, month, day, hour, minute, second);
}

// The maker in front of the model, unless the model already begins with the maker's first word
// ("NIKON CORPORATION" and "NIKON D750" give "NIKON D750").
std::string CameraText(const std::string& make, const std::string& model) {
    const std::string makerWord = make.substr(0, make.find(' '));
    const bool named = !makerWord.empty() && model.size() >= makerWord.size() &&
                       std::equal(makerWord.begin(), makerWord.end(), model.begin(),
                                  [](unsigned char a, unsigned char b) {
                                      return std::tolower(a) == std::tolower(b);
                                  });
    if (model.empty() || named) {
        return model.empty() ? make : model;
    }
    return make.empty() ? model : make + " " + model;
}

std::string ExposureText(double seconds) {
    // Fractions of a second as the cameras name them; from about half a second on, a decimal.
    if (seconds <= 0.5) {
        return Format("1/%.0f", std::round(1 / seconds)) + res::kExifSeconds;
    }
    return Number(seconds) + res::kExifSeconds;
}

std::string FocalText(std::optional<double> millimetres, std::optional<unsigned> equivalent) {
    if (!millimetres) {
        return equivalent ? Format(res::kExifFocal35, *equivalent) : std::string();
    }
    std::string text = Number(*millimetres) + " mm";
    if (equivalent && *equivalent > 0 && std::lround(*millimetres) != *equivalent) {
        text += " (" + Format(res::kExifFocal35, *equivalent) + ")";
    }
    return text;
}

} // namespace

bool CameraFacts::Any() const {
    return !(*this == CameraFacts{});
}

CameraFacts CameraFactsOf(const std::uint8_t* block, std::size_t size) {
    if (block == nullptr || size == 0 || size > UINT_MAX) {
        return {};
    }
    const std::unique_ptr<ExifData, ReleaseExif> data(exif_data_new());
    if (!data) {
        return {};
    }
    // Read only: no tags added or corrected, nothing of the maker's notes rewritten.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(data.get(), block, static_cast<unsigned>(size));
    ExifData& exif = *data;

    CameraFacts facts;
    facts.taken = TakenText(Text(exif, EXIF_TAG_DATE_TIME_ORIGINAL));
    facts.camera = CameraText(Text(exif, EXIF_TAG_MAKE), Text(exif, EXIF_TAG_MODEL));
    facts.lens = Text(exif, EXIF_TAG_LENS_MODEL);
    if (const auto seconds = Rational(exif, EXIF_TAG_EXPOSURE_TIME)) {
        facts.exposure = ExposureText(*seconds);
    }
    if (const auto aperture = Rational(exif, EXIF_TAG_FNUMBER)) {
        facts.fNumber = "f/" + Number(*aperture);
    }
    if (const auto iso = Short(exif, EXIF_TAG_ISO_SPEED_RATINGS); iso && *iso > 0) {
        facts.iso = "ISO " + std::to_string(*iso);
    }
    facts.focalLength = FocalText(Rational(exif, EXIF_TAG_FOCAL_LENGTH),
                                  Short(exif, EXIF_TAG_FOCAL_LENGTH_IN_35MM_FILM));
    if (const auto orientation = Short(exif, EXIF_TAG_ORIENTATION);
        orientation && *orientation >= 1 && *orientation <= 8) {
        facts.orientation = res::kExifOrientations[*orientation - 1];
    }
    return facts;
}

CameraFacts ReadCameraFacts(const std::string& path) {
    const std::vector<std::uint8_t> block = ReadExifBlock(path);
    return CameraFactsOf(block.data(), block.size());
}

std::string CameraLine(const CameraFacts& facts) {
    std::string line;
    for (const std::string* part : {&facts.exposure, &facts.fNumber, &facts.iso}) {
        if (!part->empty()) {
            line += (line.empty() ? "" : "  ") + *part;
        }
    }
    // The focal length without its 35 mm equivalent, which the dialog shows.
    const std::string focal = facts.focalLength.substr(0, facts.focalLength.find(" ("));
    if (!focal.empty()) {
        line += (line.empty() ? "" : "  ") + focal;
    }
    return line;
}

} // namespace pirela
