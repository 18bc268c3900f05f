#pragma once

#include "image/ImageInfo.h"
#include "view/DrawGeometry.h"

#include <cstdint>
#include <string>

namespace pirela {

// What the status bar and the title tell of the document: its list's place and the current
// image's facts.
struct DocumentFacts {
    std::string folder;      // the open folder; "" when none is open
    std::string currentName; // the current entry's name (it may be outside the list)
    int current = -1;        // the current index, -1 for none
    int count = 0;           // images in the list
    bool hasCurrentImage = false; // the list has a current entry
    bool listing = false;         // the folder is still being listed: no place is known yet
    bool shown = false;           // an image is shown (decoded, or still decoding)
    bool hasBitmap = false;       // some of the image's pixels exist
    bool loading = false;         // a helper decodes the image, and nothing of it came yet
    int turnState = 0;
    ImageInfo info;               // the image as loaded, before any turn
    std::string copiedTo;         // where this run copied the current image: "keep, best"
};

// The four status bar panes, left to right after the message pane.
struct StatusTexts {
    std::string image;    // 101: "イメージ: 640 x 480, 24 ビット"
    std::string fileSize; // 102: "1.50 KB"
    std::string zoom;     // 104: "33.3 %"
    std::string file;     // 103: "ファイル: 3/120", "ファイル: 99,999/100,000"
    bool operator==(const StatusTexts&) const = default;
};

// The panes for the document as it stands; drawSize is the current draw size.
StatusTexts ComputeStatusTexts(const DocumentFacts& doc, float rate, PixelSize drawSize);

// The zoom the picture is shown at, in per cent: the rate, or in the fit modes the draw width
// against the image's width as loaded (its height when turned by a quarter); 0 without an image.
double ShownZoomPercent(const ImageInfo& info, int turnState, float rate, PixelSize drawSize);

// The main window's title: "Pirela", then " - name" with the folder in brackets; a name the
// run copied somewhere is marked with where ("a.jpg → keep").
std::string ComputeTitle(const DocumentFacts& doc);

// A size in three significant digits with its unit letter: "512 ", "0.97 K", "1.50 K", "97.6 K",
// "1.00 M". Sizes from 2^31 bytes on (which the old 32-bit size could not hold) go on to "G"
// and "T".
std::string FormatFileSize(std::int64_t bytes);

} // namespace pirela
