#pragma once

#include "image/ImageFormat.h"
#include "load/DecodeJob.h"
#include "load/ViewPlan.h"

#include <functional>
#include <memory>
#include <string>

namespace pirela {

// Hands out the decodes of the images the document shows, and keeps at most one decode ahead:
// the neighbour in the direction of travel, decoded on a worker while the user looks at the
// current image, so that the next key finds it ready. A decode ahead is used only for its own
// path, only while the file is the one it opened and only under the settings it was made
// with; it is never started twice for one file.
class ImageLoader {
public:
    // onEnded and onChange are given to every decode: they run on a worker thread when one
    // ends, and when it has made something a view may be waiting to paint.
    explicit ImageLoader(std::function<void()> onEnded, std::function<void()> onChange = {});

    // The decode to show the file now: the one ahead when it is of this path and its file is
    // unchanged; otherwise a new one, which (when asked to) first decodes a smaller preview
    // when the view draws the image smaller than itself. The decode ahead is given up either
    // way.
    std::shared_ptr<DecodeJob> Take(const std::string& path, ImageFormat format, bool preview);

    // Decodes the file ahead, unless that is already happening; any other decode ahead stops.
    void DecodeAhead(const std::string& path, ImageFormat format);
    // Stops and forgets the decode ahead (a jump, or the folder's list changed under it).
    void DropAhead();
    // Takes a decode started before the document existed as the decode ahead.
    void Adopt(std::shared_ptr<DecodeJob> decode);
    const DecodeJob* Ahead() const { return ahead_.get(); }

    // The view's plan, for decodes from now on and for the one ahead.
    void SetPlan(const ViewPlan& plan);
    const ViewPlan& Plan() const { return plan_; }

    // The settings decodes from now on are made under; a decode ahead made under others stops.
    void SetSettings(const DecodeSettings& settings);
    const DecodeSettings& Settings() const { return settings_; }

private:
    std::shared_ptr<DecodeJob> Start(const std::string& path, ImageFormat format, bool preview);

    std::function<void()> onEnded_;
    std::function<void()> onChange_;
    ViewPlan plan_;
    DecodeSettings settings_;
    std::shared_ptr<DecodeJob> ahead_;
};

} // namespace pirela
