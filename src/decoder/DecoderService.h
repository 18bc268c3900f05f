#pragma once

#include "image/Bitmap.h"
#include "platform/UniqueDescriptor.h"
#include "sandbox/DecoderMessage.h"

#include <memory>

namespace pirela {

// The helper's side of the socket: one request after another, each an open file and the
// format to read it as, each answered with the decoded bitmap (or a raw file's JPEG preview)
// in a sealed memory file, or with "undecodable". It runs under the system call filter and
// never opens anything.
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

    int socket_;
};

} // namespace pirela
