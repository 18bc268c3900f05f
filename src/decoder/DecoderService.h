#pragma once

#include "image/Bitmap.h"
#include "image/FrameSource.h"
#include "image/ImageFormat.h"
#include "platform/UniqueDescriptor.h"
#include "sandbox/DecoderMessage.h"

#include <memory>

namespace pirela {

// The helper's side of the socket: one request after another, each an open file and the
// format to read it as, each answered with the decoded bitmap (or a raw file's JPEG preview)
// in a sealed memory file, or with "undecodable". Asked for an animation's frames, it serves
// that animation alone, a frame for each request, and then ends. It runs under the system call
// filter and never opens anything.
class DecoderService {
public:
    explicit DecoderService(int socket) : socket_(socket) {}
    // Answers until Pirela closes its end of the socket (or is gone).
    void Run();

private:
    // One request; false when there are no more.
    bool Serve();
    bool Answer(int file, const DecoderRequest& request);
    bool SendBitmap(std::unique_ptr<Bitmap> bitmap, const DecoderRequest& request);
    bool SendPreview(int file);
    bool SendUndecodable();
    // The animation's frames until Pirela asks nothing more of it.
    void PlayFrames(int file, ImageFormat format);
    // The next frame, or "undecodable" after the last; false when Pirela is gone.
    bool SendFrame(FrameSource& frames);

    int socket_;
};

} // namespace pirela
