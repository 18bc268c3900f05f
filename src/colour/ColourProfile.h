#pragma once

#include "image/ColourDescription.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>

namespace pirela {

// A colour profile LittleCMS has read: a photo's own (embedded, or built from the primaries and
// curve its file names) or a display's. Only profiles of RGB or grey colours are taken: the
// pictures Pirela shows are RGB (or grey) whatever the file held.
class ColourProfile {
public:
    // None when the bytes are no profile LittleCMS can read, or one of other colours (CMYK,
    // Lab...).
    static std::shared_ptr<const ColourProfile> FromIcc(std::span<const std::uint8_t> icc);
    // The profile a file's description amounts to; none when it cannot be read.
    static std::shared_ptr<const ColourProfile> From(const ColourDescription& description);
    static std::shared_ptr<const ColourProfile> Srgb();

    ~ColourProfile();
    ColourProfile(const ColourProfile&) = delete;
    ColourProfile& operator=(const ColourProfile&) = delete;

    // LittleCMS's handle (a cmsHPROFILE); LittleCMS serialises its reads of it.
    void* Handle() const { return handle_; }
    bool IsGrey() const { return grey_; }
    // Equal keys are the same profile: the bytes it was read from, or its description's key.
    const std::string& Key() const { return key_; }

    // The name a user knows it by: "sRGB", "Adobe RGB (1998)" or "Display P3" for a profile of
    // those colours whatever it calls itself, otherwise its own description (in English where
    // it has one), or "" when it has none.
    std::string Name() const;

private:
    ColourProfile(void* handle, bool grey, std::string key)
        : handle_(handle), grey_(grey), key_(std::move(key)) {}
    static std::shared_ptr<const ColourProfile> Adopt(void* handle, std::string key);

    void* handle_;
    bool grey_;
    std::string key_;
};

// What the user is told about a photo's colours: the profile's name, "sRGB" for a file that
// names sRGB, or "" when the file describes nothing (or nothing that can be read).
std::string ColourProfileName(const ColourDescription* description);

// The description as a key: equal keys describe the same colours.
std::string ColourKey(const ColourDescription& description);

} // namespace pirela
