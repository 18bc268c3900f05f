#include "colour/MatrixShaper.h"

#include <algorithm>
#include <cmath>
#include <lcms2.h>

namespace pirela {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

constexpr cmsTagSignature kColorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                           cmsSigBlueColorantTag};
constexpr cmsTagSignature kCurves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

bool IsMatrixShaper(cmsHPROFILE profile, unsigned intent, unsigned direction) {
    return cmsGetColorSpace(profile) == cmsSigRgbData && cmsIsMatrixShaper(profile) &&
           !cmsIsCLUT(profile, intent, direction);
}

// The profile's colorants as columns: light of red, green and blue to XYZ.
std::optional<Matrix> ColorantsOf(cmsHPROFILE profile) {
    Matrix columns{};
    for (int c = 0; c < 3; ++c) {
        const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, kColorants[c]));
        if (xyz == nullptr) {
            return std::nullopt;
        }
        columns[0][c] = xyz->X;
        columns[1][c] = xyz->Y;
        columns[2][c] = xyz->Z;
    }
    return columns;
}

std::optional<Matrix> Inverse(const Matrix& m) {
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (std::abs(det) < 1e-9) {
        return std::nullopt;
    }
    Matrix inverse{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            // The cofactor of (column, row), over the determinant.
            const int r0 = (column + 1) % 3;
            const int r1 = (column + 2) % 3;
            const int c0 = (row + 1) % 3;
            const int c1 = (row + 2) % 3;
            inverse[row][column] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det;
        }
    }
    return inverse;
}

// Whether two channels' curves are one: the same tag, or the same values wherever looked at.
bool SameCurve(const cmsToneCurve* a, const void* other) {
    const auto* b = static_cast<const cmsToneCurve*>(other);
    if (a == b) {
        return true;
    }
    if (b == nullptr) {
        return false;
    }
    for (int step = 0; step <= 64; ++step) {
        const float x = static_cast<float>(step) / 64;
        if (cmsEvalToneCurveFloat(a, x) != cmsEvalToneCurveFloat(b, x)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<MatrixShaper> MatrixShaper::Between(void* source, void* display, unsigned intent) {
    if (!IsMatrixShaper(source, intent, LCMS_USED_AS_INPUT) ||
        !IsMatrixShaper(display, intent, LCMS_USED_AS_OUTPUT)) {
        return std::nullopt;
    }
    const std::optional<Matrix> from = ColorantsOf(source);
    const std::optional<Matrix> to = ColorantsOf(display);
    const std::optional<Matrix> back = to ? Inverse(*to) : std::nullopt;
    if (!from || !back) {
        return std::nullopt;
    }
    MatrixShaper shaper;
    for (int row = 0; row < 3; ++row) {
        double weight = 0;
        for (int column = 0; column < 3; ++column) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) {
                sum += (*back)[row][k] * (*from)[k][column];
            }
            shaper.matrix_[row][column] = static_cast<std::int32_t>(std::lround(sum * kOne));
            weight += std::abs(sum);
        }
        // A row's sum of light times kOne must stay within 32 bits.
        if (!(weight < double(std::int64_t{1} << 31) / kOne / kOne)) {
            return std::nullopt;
        }
    }
    for (int c = 0; c < 3; ++c) {
        const auto* in = static_cast<const cmsToneCurve*>(cmsReadTag(source, kCurves[c]));
        const auto* out = static_cast<const cmsToneCurve*>(cmsReadTag(display, kCurves[c]));
        if (in == nullptr || out == nullptr) {
            return std::nullopt;
        }
        // Most profiles give their three channels one curve: its tables are made once.
        if (c > 0 && SameCurve(in, cmsReadTag(source, kCurves[c - 1]))) {
            shaper.toLight_[c] = shaper.toLight_[c - 1];
        } else {
            for (int value = 0; value < 256; ++value) {
                const float light = cmsEvalToneCurveFloat(in, static_cast<float>(value) / 255);
                shaper.toLight_[c][value] =
                    static_cast<std::int32_t>(std::lround(std::clamp(light, 0.0f, 1.0f) * kOne));
            }
        }
        if (c > 0 && SameCurve(out, cmsReadTag(display, kCurves[c - 1]))) {
            shaper.fromLight_[c] = shaper.fromLight_[c - 1];
            continue;
        }
        cmsToneCurve* reverse = cmsReverseToneCurve(out);
        if (reverse == nullptr) {
            return std::nullopt;
        }
        for (int light = 0; light <= kOne; ++light) {
            const float value = cmsEvalToneCurveFloat(reverse, static_cast<float>(light) / kOne);
            shaper.fromLight_[c][light] =
                static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255));
        }
        cmsFreeToneCurve(reverse);
    }
    return shaper;
}

void MatrixShaper::Convert(std::uint8_t* pixels, std::size_t count,
                           std::size_t bytesPerPixel) const {
    const auto& m = matrix_;
    for (std::uint8_t* pixel = pixels; pixel != pixels + count * bytesPerPixel;
         pixel += bytesPerPixel) {
        const std::int32_t red = toLight_[0][pixel[2]];
        const std::int32_t green = toLight_[1][pixel[1]];
        const std::int32_t blue = toLight_[2][pixel[0]];
        constexpr std::int32_t kHalf = 1 << (kPrecision - 1);
        const auto channel = [&](int row) {
            const std::int32_t light =
                (m[row][0] * red + m[row][1] * green + m[row][2] * blue + kHalf) >> kPrecision;
            return fromLight_[row][std::clamp(light, 0, kOne)];
        };
        const std::uint8_t newRed = channel(0);
        const std::uint8_t newGreen = channel(1);
        pixel[0] = channel(2);
        pixel[1] = newGreen;
        pixel[2] = newRed;
    }
}

} // namespace pirela
