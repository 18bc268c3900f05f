#include "app/CPirelaDoc.h"

#include "app/DocumentHost.h"
#include "app/Prompter.h"
#include "image/Rotation.h"
#include "res/Messages.h"

namespace pirela {

CPirelaDoc::CPirelaDoc(Prompter& prompter, DocumentHost& host) : prompter_(prompter), host_(host) {}

void CPirelaDoc::ApplyTurn(int direction) {
    const WaitCursor wait(host_);
    if (direction == 0 || !image_.HasBitmap()) {
        return;
    }
    if (!CanTurn(image_.Pixels()->BitCount())) {
        prompter_.ShowMessage(res::kMsgCannotTurnLowDepth, MessageIcon::Warning,
                              MessageButtons::Ok);
        image_.SetTurnState(0);
        return;
    }
    if (direction == kTurnHalf) {
        TurnQuarter(kTurnLeft);
        TurnQuarter(kTurnLeft);
    } else {
        TurnQuarter(direction);
    }
    host_.UpdateAllViews();
    host_.UpdateScrollSizes();
    host_.RefreshStatusTexts();
}

void CPirelaDoc::TurnQuarter(int direction) {
    if (!image_.HasBitmap()) {
        return;
    }
    auto turned = TurnBitmapQuarter(*image_.Pixels(), direction);
    if (!turned) {
        return;
    }
    image_.SetTurnState((image_.TurnState() + direction) % 4);
    image_.Install(std::move(turned));
}

} // namespace pirela
