#include "view/StatusTexts.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "image/ImageFormat.h"
#include "res/Messages.h"

#include <cstdio>

namespace pirela {

namespace {

std::string Format(const char* format, auto... values) {
    char text[128];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

} // namespace

std::string FormatFileSize(std::int64_t bytes) {
    if (bytes < 1000) {
        return Format("%d ", static_cast<int>(bytes));
    }
    static constexpr char kUnits[] = {' ', 'K', 'M', 'G', 'T', 'P', 'E'};
    double size = static_cast<double>(bytes);
    int unit = 0;
    while (size >= 1000 && unit + 1 < static_cast<int>(sizeof kUnits)) {
        size /= 1024;
        ++unit;
    }
    std::string digits = Format("%3.3f", size);
    // Three significant digits: "123.456" keeps "123", "1.234" keeps "1.23".
    digits.resize(digits.size() > 3 && digits[3] == '.' ? 3 : 4);
    return digits + " " + kUnits[unit];
}

StatusTexts ComputeStatusTexts(const DocumentFacts& doc, float rate, PixelSize drawSize) {
    const ImageInfo& info = doc.info;
    const bool current = doc.hasCurrentImage;
    const bool shownImage = current && doc.shown && !doc.loading;

    StatusTexts texts;
    if (current && doc.loading) {
        texts.image = res::kStatusLoading;
    }
    if (shownImage) {
        texts.image = Format("イメージ: %d x %d, %d ビット", info.width, info.height,
                             info.bitsPerPixel);
        // A raw file is never developed: what shows is the camera's own JPEG preview.
        if (info.formatCode == static_cast<int>(ImageFormat::Raw)) {
            texts.image += res::kStatusCameraPreview;
        }
    }
    if (current && info.opened) {
        texts.fileSize = FormatFileSize(info.size) + "B";
    }
    if (shownImage) {
        texts.zoom = Format("%3.1f %%", ShownZoomPercent(info, doc.turnState, rate, drawSize));
    }
    if (!doc.folder.empty() && !doc.listing) {
        // An empty list has no position: "1/0" would name a file that is not there.
        texts.file = "ファイル: " + GroupedDigits(doc.count > 0 ? doc.current + 1 : 0) + "/" +
                     GroupedDigits(doc.count);
    }
    return texts;
}

double ShownZoomPercent(const ImageInfo& info, int turnState, float rate, PixelSize drawSize) {
    if (rate > 0) {
        return rate;
    }
    const int loadedWidth = turnState % 2 == 0 ? info.width : info.height;
    return loadedWidth > 0 ? drawSize.width * 100.0 / loadedWidth : 0;
}

std::string ComputeTitle(const DocumentFacts& doc) {
    std::string title = "Pirela";
    const std::string folder = " [ " + FolderForSearch(doc.folder) + " ] ";
    // A file shown outside the list (hidden, or gone since the scan) is named too.
    if (doc.hasBitmap || doc.count > 0 || !doc.currentName.empty()) {
        const std::string copied = doc.copiedTo.empty() ? "" : " → " + doc.copiedTo;
        title += " - " + doc.currentName + copied + folder;
    } else if (!doc.folder.empty()) {
        title += folder;
    }
    return title;
}

} // namespace pirela
