#pragma once

#include <string>
#include <vector>

namespace pirela {

// The sidecars of a photo: the files beside it that hold what an editor or a camera knows of
// it (XMP), named after it as X.ext.xmp or X.xmp. They go wherever the photo goes, in the same
// operation. X.xmp is the photo's only while no other file of the folder is named X.something
// (a camera's raw file and its JPEG share it: it then stays with both).
std::vector<std::string> SidecarsOf(const std::string& photo);

// The sidecar's path once its photo is newPhoto: X.ext.xmp follows as Y.ext2.xmp, X.xmp as
// Y.xmp (the paths may be names alone).
std::string SidecarFollowing(const std::string& sidecar, const std::string& photo,
                             const std::string& newPhoto);

} // namespace pirela
