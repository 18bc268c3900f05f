#include "colour/DisplayProfile.h"

#include <mutex>

namespace pirela {

namespace {

struct Display {
    std::mutex mutex;
    DisplayProfileReader reader;
    std::shared_ptr<const ColourProfile> profile; // none until asked
};

Display& TheDisplay() {
    static Display display;
    return display;
}

} // namespace

void SetDisplayProfileReader(DisplayProfileReader reader) {
    Display& display = TheDisplay();
    const std::lock_guard lock(display.mutex);
    display.reader = std::move(reader);
    display.profile = nullptr; // asked again the next time
}

std::shared_ptr<const ColourProfile> DisplayProfile() {
    Display& display = TheDisplay();
    const std::lock_guard lock(display.mutex);
    if (!display.profile) {
        std::shared_ptr<const ColourProfile> own;
        if (display.reader) {
            const std::vector<std::uint8_t> icc = display.reader();
            own = ColourProfile::FromIcc(icc);
        }
        display.profile = own && !own->IsGrey() ? own : ColourProfile::Srgb();
    }
    return display.profile;
}

} // namespace pirela
