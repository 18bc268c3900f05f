// Every size and count of a helper's answer is checked before Pirela uses it: each of these
// answers differs from a good one in one thing and is refused.
#include "sandbox/DecoderReply.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace pirela {
namespace {

struct Answer {
    DecoderReplyHeader header;
    std::vector<RgbQuad> colours;
    ReplyMemory memory{4096, true};
};

// 13 x 7 pixels of 24 bits, top-down: rows of 40 bytes.
Answer GoodPixels() {
    Answer answer;
    answer.header.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    answer.header.width = 13;
    answer.header.height = -7;
    answer.header.bitCount = 24;
    answer.header.stride = 40;
    answer.header.bytes = 280;
    return answer;
}

// The same described as Display P3, its 300-byte profile after the pixels.
Answer GoodColour() {
    Answer answer = GoodPixels();
    answer.header.colourFlags = kColourDescribed | kColourPrimaries;
    answer.header.gamma = 2.2;
    const double p3[] = {0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
    std::copy(std::begin(p3), std::end(p3), answer.header.primaries);
    answer.header.iccOffset = 280;
    answer.header.iccBytes = 300;
    return answer;
}

// An animation's frame: a 13 x 7 canvas with alpha, shown for 120 ms, played for ever.
Answer GoodFrame() {
    Answer answer = GoodPixels();
    answer.header.payload = static_cast<std::uint32_t>(DecoderPayload::Frame);
    answer.header.bitCount = 32;
    answer.header.flags = kReplyHasAlpha;
    answer.header.stride = 52;
    answer.header.bytes = 364;
    answer.header.delayMs = 120;
    return answer;
}

std::optional<DecoderReply> Parse(const Answer& answer) {
    DecoderReplyHeader header = answer.header;
    header.colours =
        header.colours != 0 ? header.colours : static_cast<std::uint32_t>(answer.colours.size());
    std::vector<std::uint8_t> message(sizeof header + answer.colours.size() * sizeof(RgbQuad));
    std::memcpy(message.data(), &header, sizeof header);
    if (!answer.colours.empty()) {
        std::memcpy(message.data() + sizeof header, answer.colours.data(),
                    answer.colours.size() * sizeof(RgbQuad));
    }
    return ParseDecoderReply(message.data(), message.size(), answer.memory);
}

TEST(DecoderReplyTest, GoodAnswersAreTakenAsTheySay) {
    const auto pixels = Parse(GoodPixels());
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(pixels->header.height, -7);
    EXPECT_EQ(pixels->bytes, 280u);
    Answer palette = GoodPixels();
    palette.header.bitCount = 8;
    palette.header.stride = 16;
    palette.header.bytes = 112;
    palette.colours.assign(3, RgbQuad{1, 2, 3, 0});
    ASSERT_TRUE(Parse(palette).has_value());
    EXPECT_EQ(Parse(palette)->colourTable.size(), 3u);
    Answer undecodable;
    undecodable.header.status = static_cast<std::uint32_t>(DecoderStatus::Undecodable);
    undecodable.memory = {};
    EXPECT_EQ(Parse(undecodable)->status, DecoderStatus::Undecodable);
    EXPECT_FALSE(pixels->colour.has_value());
    const auto described = Parse(GoodColour());
    ASSERT_TRUE(described.has_value());
    ASSERT_TRUE(described->colour.has_value());
    EXPECT_EQ(described->colour->primaries->greenY, 0.690);
    EXPECT_EQ(described->iccOffset, 280u);
    EXPECT_EQ(described->iccBytes, 300u);
    const auto frame = Parse(GoodFrame());
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->payload, DecoderPayload::Frame);
    EXPECT_EQ(frame->delayMs, 120);
}

TEST(DecoderReplyTest, AnAnswerWrongInAnyOneThingIsRefused) {
    using Change = std::function<void(Answer&)>;
    const std::pair<const char*, Change> changes[]{
        {"magic", [](Answer& a) { a.header.magic = 0; }},
        {"status", [](Answer& a) { a.header.status = 7; }},
        {"payload", [](Answer& a) { a.header.payload = 9; }},
        {"unknown flag", [](Answer& a) { a.header.flags = 64; }},
        {"alpha below 32 bits", [](Answer& a) { a.header.flags = kReplyHasAlpha; }},
        {"no width", [](Answer& a) { a.header.width = 0; }},
        {"no height", [](Answer& a) { a.header.height = 0; }},
        {"least height", [](Answer& a) { a.header.height = INT_MIN; }},
        {"bit count", [](Answer& a) { a.header.bitCount = 12; }},
        {"colours at 24 bits", [](Answer& a) { a.colours.resize(2); }},
        {"more colours than sent", [](Answer& a) { a.header.colours = 3; }},
        {"stride", [](Answer& a) { a.header.stride = 39; }},
        {"bytes", [](Answer& a) { a.header.bytes = 320; }},
        {"beyond the size bound",
         [](Answer& a) {
             a.header.width = 40000;
             a.header.height = -40000;
             a.header.stride = 120000;
             a.header.bytes = 120000ull * 40000;
             a.memory.size = INT64_MAX;
         }},
        {"memory too short", [](Answer& a) { a.memory.size = 279; }},
        {"no memory", [](Answer& a) { a.memory = {}; }},
        {"unsealed memory", [](Answer& a) { a.memory.sealed = false; }},
        {"turned pixels", [](Answer& a) { a.header.orientation = 6; }},
        {"preview's turn",
         [](Answer& a) {
             a.header.payload = static_cast<std::uint32_t>(DecoderPayload::JpegPreview);
             a.header.orientation = 9;
         }},
        {"animated preview",
         [](Answer& a) {
             a.header.payload = static_cast<std::uint32_t>(DecoderPayload::JpegPreview);
             a.header.flags = kReplyAnimated;
             a.header.bytes = 100;
         }},
        {"preview too long",
         [](Answer& a) {
             a.header.payload = static_cast<std::uint32_t>(DecoderPayload::JpegPreview);
             a.header.bytes = 4097;
         }},
    };
    for (const auto& [name, change] : changes) {
        Answer answer = GoodPixels();
        change(answer);
        EXPECT_FALSE(Parse(answer).has_value()) << name;
    }
    const std::pair<const char*, Change> colourChanges[]{
        {"unknown colour flag", [](Answer& a) { a.header.colourFlags |= 64; }},
        {"colours undescribed", [](Answer& a) { a.header.colourFlags = 0; }},
        {"curve", [](Answer& a) { a.header.transfer = 3; }},
        {"gamma", [](Answer& a) { a.header.gamma = 0; }},
        {"gamma not a number", [](Answer& a) { a.header.gamma = std::nan(""); }},
        {"white of no light", [](Answer& a) { a.header.primaries[1] = 0; }},
        {"red beyond the diagram", [](Answer& a) { a.header.primaries[2] = 0.9; }},
        {"primaries unsaid", [](Answer& a) { a.header.colourFlags = kColourDescribed; }},
        {"profile over the pixels", [](Answer& a) { a.header.iccOffset = 279; }},
        {"profile beyond the memory", [](Answer& a) { a.header.iccBytes = 4096 - 279; }},
        {"profile beyond the bound",
         [](Answer& a) {
             a.header.iccBytes = kMaxReplyIccBytes + 1;
             a.memory.size = INT64_MAX;
         }},
        {"offset of no profile", [](Answer& a) { a.header.iccBytes = 0; }},
        {"nothing described",
         [](Answer& a) {
             a.header.colourFlags = kColourDescribed;
             std::fill(std::begin(a.header.primaries), std::end(a.header.primaries), 0);
             a.header.iccOffset = a.header.iccBytes = 0;
         }},
        {"a preview's colours",
         [](Answer& a) {
             a.header.payload = static_cast<std::uint32_t>(DecoderPayload::JpegPreview);
             a.header.bytes = 100;
         }},
    };
    for (const auto& [name, change] : colourChanges) {
        Answer answer = GoodColour();
        change(answer);
        EXPECT_FALSE(Parse(answer).has_value()) << name;
    }
    const std::pair<const char*, Change> frameChanges[]{
        {"no alpha", [](Answer& a) { a.header.flags = 0; }},
        {"bottom-up", [](Answer& a) { a.header.height = 7; }},
        {"a delay browsers would not show", [](Answer& a) { a.header.delayMs = 10; }},
        {"a delay no file gives", [](Answer& a) { a.header.delayMs = kMaxFrameDelayMs + 1; }},
        {"plays beyond a loop count", [](Answer& a) { a.header.plays = kMaxPlays + 1; }},
        {"colours described",
         [](Answer& a) {
             a.header.colourFlags = kColourDescribed | kColourSrgb;
             a.header.gamma = 2.2;
         }},
        {"beyond the animations' bound",
         [](Answer& a) {
             a.header.width = 4097;
             a.header.height = -4097;
             a.header.stride = 4097 * 4;
             a.header.bytes = 4097ull * 4097 * 4;
             a.memory.size = INT64_MAX;
         }},
        {"a still picture's delay",
         [](Answer& a) { a.header.payload = static_cast<std::uint32_t>(DecoderPayload::Pixels); }},
    };
    for (const auto& [name, change] : frameChanges) {
        Answer answer = GoodFrame();
        change(answer);
        EXPECT_FALSE(Parse(answer).has_value()) << name;
    }
    // A message cut short, or longer than its colours say.
    const Answer good = GoodPixels();
    std::vector<std::uint8_t> message(sizeof good.header + 1);
    std::memcpy(message.data(), &good.header, sizeof good.header);
    EXPECT_FALSE(ParseDecoderReply(message.data(), message.size(), good.memory).has_value());
    EXPECT_FALSE(
        ParseDecoderReply(message.data(), sizeof good.header - 1, good.memory).has_value());
}

} // namespace
} // namespace pirela
