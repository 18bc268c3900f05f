#include "colour/ColourProfile.h"

#include <array>
#include <cmath>
#include <cstring>
#include <lcms2.h>
#include <vector>

namespace pirela {

namespace {

// A profile larger than this is no photo's: printer profiles with big tables reach a few
// megabytes.
constexpr std::size_t kMaxProfileBytes = 16u << 20;

// The sRGB curve as LittleCMS's parametric type 4: linear below 0.04045, else
// ((v + 0.055) / 1.055) ^ 2.4.
cmsToneCurve* SrgbCurve() {
    const cmsFloat64Number parameters[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    return cmsBuildParametricToneCurve(nullptr, 4, parameters);
}

cmsToneCurve* CurveFor(const ColourDescription& description) {
    switch (description.transfer) {
    case TransferCurve::Gamma:
        return cmsBuildGamma(
            nullptr, description.gamma > 0 && description.gamma < 10 ? description.gamma : 2.2);
    case TransferCurve::Linear:
        return cmsBuildGamma(nullptr, 1.0);
    default:
        return SrgbCurve();
    }
}

// An RGB profile of the primaries, their white and one curve for all three channels.
cmsHPROFILE BuildRgbProfile(const Chromaticities& xy, cmsToneCurve* curve) {
    if (curve == nullptr) {
        return nullptr;
    }
    const cmsCIExyY white{xy.whiteX, xy.whiteY, 1.0};
    const cmsCIExyYTRIPLE primaries{
        {xy.redX, xy.redY, 1.0}, {xy.greenX, xy.greenY, 1.0}, {xy.blueX, xy.blueY, 1.0}};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return profile;
}

constexpr Chromaticities kAdobeRgb{0.3127, 0.3290, 0.64, 0.33, 0.21, 0.71, 0.15, 0.06};
constexpr Chromaticities kDisplayP3{0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
constexpr double kAdobeRgbGamma = 563.0 / 256.0;

// The colours a few RGB values have in Lab: what tells two profiles' colours apart.
std::vector<cmsCIELab> LabOfProbes(cmsHPROFILE profile) {
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM transform = cmsCreateTransform(profile, TYPE_RGB_8, lab, TYPE_Lab_DBL,
                                                 INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    cmsCloseProfile(lab);
    if (transform == nullptr) {
        return {};
    }
    constexpr std::array<std::uint8_t, 5> kLevels{0, 64, 128, 192, 255};
    std::vector<std::uint8_t> probes;
    for (std::uint8_t red : kLevels) {
        for (std::uint8_t green : kLevels) {
            for (std::uint8_t blue : kLevels) {
                probes.insert(probes.end(), {red, green, blue});
            }
        }
    }
    std::vector<cmsCIELab> colours(probes.size() / 3);
    cmsDoTransform(transform, probes.data(), colours.data(),
                   static_cast<cmsUInt32Number>(colours.size()));
    cmsDeleteTransform(transform);
    return colours;
}

bool SameColours(const std::vector<cmsCIELab>& a, const std::vector<cmsCIELab>& b) {
    constexpr double kMostDeltaE = 1.5;
    if (a.empty() || a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (cmsDeltaE(&a[i], &b[i]) > kMostDeltaE) {
            return false;
        }
    }
    return true;
}

struct KnownSpace {
    const char* name;
    std::vector<cmsCIELab> colours;
};

const std::vector<KnownSpace>& KnownSpaces() {
    static const std::vector<KnownSpace> spaces = [] {
        std::vector<KnownSpace> known;
        const auto add = [&known](const char* name, cmsHPROFILE profile) {
            known.push_back({name, LabOfProbes(profile)});
            cmsCloseProfile(profile);
        };
        add("sRGB", cmsCreate_sRGBProfile());
        add("Adobe RGB (1998)", BuildRgbProfile(kAdobeRgb, cmsBuildGamma(nullptr, kAdobeRgbGamma)));
        add("Display P3", BuildRgbProfile(kDisplayP3, SrgbCurve()));
        return known;
    }();
    return spaces;
}

// The profile's own description, UTF-8, in English where it has several languages.
std::string DescriptionOf(cmsHPROFILE profile) {
    const cmsUInt32Number bytes =
        cmsGetProfileInfo(profile, cmsInfoDescription, "en", "US", nullptr, 0);
    if (bytes == 0) {
        return {};
    }
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1);
    cmsGetProfileInfo(profile, cmsInfoDescription, "en", "US", text.data(),
                      static_cast<cmsUInt32Number>(text.size() * sizeof(wchar_t)));
    std::string utf8;
    for (const wchar_t character : text) {
        const auto code = static_cast<std::uint32_t>(character);
        if (code == 0) {
            break;
        }
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | code >> 12);
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x110000) {
            utf8 += static_cast<char>(0xF0 | code >> 18);
            utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

void AppendBytes(std::string& key, const void* value, std::size_t bytes) {
    key.append(static_cast<const char*>(value), bytes);
}

} // namespace

ColourProfile::~ColourProfile() {
    cmsCloseProfile(handle_);
}

std::shared_ptr<const ColourProfile> ColourProfile::Adopt(void* handle, std::string key) {
    if (handle == nullptr) {
        return nullptr;
    }
    const cmsColorSpaceSignature space = cmsGetColorSpace(handle);
    const cmsProfileClassSignature kind = cmsGetDeviceClass(handle);
    const bool usable = (space == cmsSigRgbData || space == cmsSigGrayData) &&
                        kind != cmsSigLinkClass && kind != cmsSigAbstractClass &&
                        kind != cmsSigNamedColorClass;
    if (!usable) {
        cmsCloseProfile(handle);
        return nullptr;
    }
    return std::shared_ptr<const ColourProfile>(
        new ColourProfile(handle, space == cmsSigGrayData, std::move(key)));
}

std::shared_ptr<const ColourProfile> ColourProfile::FromIcc(std::span<const std::uint8_t> icc) {
    if (icc.empty() || icc.size() > kMaxProfileBytes) {
        return nullptr;
    }
    std::string key = "icc:";
    AppendBytes(key, icc.data(), icc.size());
    return Adopt(cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())),
                 std::move(key));
}

std::shared_ptr<const ColourProfile> ColourProfile::From(const ColourDescription& description) {
    if (!description.icc.empty()) {
        return FromIcc(description.icc);
    }
    if (description.primaries) {
        return Adopt(BuildRgbProfile(*description.primaries, CurveFor(description)),
                     ColourKey(description));
    }
    return description.srgb ? Srgb() : nullptr;
}

std::shared_ptr<const ColourProfile> ColourProfile::Srgb() {
    static const std::shared_ptr<const ColourProfile> srgb = Adopt(cmsCreate_sRGBProfile(), "srgb");
    return srgb;
}

std::string ColourProfile::Name() const {
    if (!grey_) {
        const std::vector<cmsCIELab> colours = LabOfProbes(handle_);
        for (const KnownSpace& space : KnownSpaces()) {
            if (SameColours(colours, space.colours)) {
                return space.name;
            }
        }
    }
    return DescriptionOf(handle_);
}

std::string ColourProfileName(const ColourDescription* description) {
    if (description == nullptr || description->Empty()) {
        return {};
    }
    const auto profile = ColourProfile::From(*description);
    return profile ? profile->Name() : std::string();
}

std::string ColourKey(const ColourDescription& description) {
    if (!description.icc.empty()) {
        std::string key = "icc:";
        AppendBytes(key, description.icc.data(), description.icc.size());
        return key;
    }
    if (description.primaries) {
        std::string key = "xy:";
        AppendBytes(key, &*description.primaries, sizeof(Chromaticities));
        AppendBytes(key, &description.transfer, sizeof description.transfer);
        AppendBytes(key, &description.gamma, sizeof description.gamma);
        return key;
    }
    return description.srgb ? "srgb" : "";
}

} // namespace pirela
