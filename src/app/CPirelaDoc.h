#pragma once

#include "image/DecodedImage.h"

namespace pirela {

class DocumentHost;
class Prompter;

// The one document of the program: the current image with its turn (and, as the program grows,
// the folder's image list and the record of the last send).
class CPirelaDoc {
public:
    CPirelaDoc(Prompter& prompter, DocumentHost& host);

    DecodedImage& Image() { return image_; }
    const DecodedImage& Image() const { return image_; }
    int TurnState() const { return image_.TurnState(); }

    // Turns the current image: kTurnLeft, kTurnHalf or kTurnRight; 0 does nothing. An image of
    // 4 bits per pixel or less is refused with a message, and the turn state goes back to 0 so
    // that a kept turn is not tried on the next image. Afterwards the views repaint, and the
    // scroll sizes and status texts follow.
    void ApplyTurn(int direction);

    // One quarter turn, kTurnLeft or kTurnRight. When the turned bitmap cannot be made, the
    // image and the turn state stay as they were.
    void TurnQuarter(int direction);

private:
    Prompter& prompter_;
    DocumentHost& host_;
    DecodedImage image_;
};

} // namespace pirela
