#pragma once

namespace pirela {

// Why a file given to a decoder helper gave no picture, so that the user is told the truth.
enum class HelperFailure {
    None,        // it decoded, or the decode was stopped because nobody wants it any more
    Undecodable, // the helper could not read the file (a format it does not take, a broken file)
    Missing,     // the helper program is not there or cannot be run
    Stopped,     // the helper stopped in the middle, twice: a crash, a kill from elsewhere
    TooSlow,     // the file took longer than its time limit to decode
};

} // namespace pirela
