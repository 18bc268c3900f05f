#pragma once

#include <filesystem>

namespace pirela::bench {

// A HEIC grid of columns x rows tiles that are all the one picture of the HEIC file `tile`
// (of the size given): a file of a few kilobytes whose reader decodes that tile again and
// again for a picture of the whole grid's size (at most 65535 pixels a side). Made by hand:
// libheif writes no grids.
void WriteHeifGrid(const std::filesystem::path& file, const std::filesystem::path& tile,
                   int tileWidth, int tileHeight, int columns, int rows);

} // namespace pirela::bench
