#include "HeifGrid.h"

#include "support/ImageFixtures.h"

#include <cstdlib>
#include <string_view>

// A HEIC grid made by hand from a HEIC of one picture: libheif writes no grids.
namespace pirela::bench {

namespace {

void Require(bool ok) {
    if (!ok) {
        std::abort();
    }
}

std::uint64_t BigEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    Require(at + size <= bytes.size());
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

// The box of the type among the boxes in [at, end): its contents (after size and type).
std::string_view FindBox(std::string_view bytes, std::size_t at, std::size_t end,
                         std::string_view type) {
    while (at + 8 <= end) {
        const std::size_t size = BigEndian(bytes, at, 4);
        Require(size >= 8 && at + size <= end);
        if (bytes.substr(at + 4, 4) == type) {
            return bytes.substr(at + 8, size - 8);
        }
        at += size;
    }
    std::abort();
}

std::size_t OffsetIn(std::string_view whole, std::string_view part) {
    return static_cast<std::size_t>(part.data() - whole.data());
}

// The coded picture of the file's one item, from its location box (file offsets).
std::string_view ItemData(std::string_view file, std::string_view iloc) {
    const int version = static_cast<std::uint8_t>(iloc[0]);
    const std::size_t offsetSize = static_cast<std::uint8_t>(iloc[4]) >> 4;
    const std::size_t lengthSize = static_cast<std::uint8_t>(iloc[4]) & 15;
    const std::size_t baseSize = static_cast<std::uint8_t>(iloc[5]) >> 4;
    const std::size_t indexSize = version > 0 ? static_cast<std::uint8_t>(iloc[5]) & 15 : 0;
    std::size_t at = 6 + (version < 2 ? 2 : 4) + (version < 2 ? 2 : 4); // count, first item id
    at += version > 0 ? 2 : 0;                                          // construction method
    at += 2;                                                            // data reference
    const std::uint64_t base = BigEndian(iloc, at, baseSize);
    at += baseSize;
    Require(BigEndian(iloc, at, 2) == 1); // one extent
    at += 2 + indexSize;
    const std::uint64_t offset = base + BigEndian(iloc, at, offsetSize);
    const std::uint64_t length = BigEndian(iloc, at + offsetSize, lengthSize);
    Require(offset + length <= file.size());
    return file.substr(offset, length);
}

class BoxWriter {
public:
    void Put(std::uint64_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i) {
            out_.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
        }
    }
    void Put(std::string_view bytes) { out_.append(bytes); }
    // A box around what `contents` writes.
    template <class Contents> void Box(std::string_view type, Contents contents) {
        const std::size_t start = out_.size();
        Put(0, 4);
        Put(type);
        contents();
        const std::size_t size = out_.size() - start;
        for (int i = 0; i < 4; ++i) {
            out_[start + i] = static_cast<char>(size >> (8 * (3 - i)) & 0xFF);
        }
    }
    const std::string& Bytes() const { return out_; }

private:
    std::string out_;
};

std::string GridMeta(std::string_view hvcC, int tileWidth, int tileHeight, int columns, int rows,
                     std::uint64_t gridAt, std::uint64_t tileAt, std::size_t tileBytes) {
    BoxWriter meta;
    meta.Box("meta", [&] {
        meta.Put(0, 4);
        meta.Box("hdlr", [&] {
            meta.Put(0, 8);
            meta.Put("pict");
            meta.Put(0, 13);
        });
        meta.Box("pitm", [&] { meta.Put(0, 4), meta.Put(1, 2); });
        meta.Box("iinf", [&] {
            meta.Put(0, 4);
            meta.Put(2, 2);
            meta.Box("infe", [&] {
                meta.Put(2 << 24, 4), meta.Put(1, 2), meta.Put(0, 2);
                meta.Put("grid"), meta.Put(0, 1);
            });
            meta.Box("infe", [&] {
                meta.Put(2 << 24 | 1, 4), meta.Put(2, 2), meta.Put(0, 2);
                meta.Put("hvc1"), meta.Put(0, 1);
            });
        });
        meta.Box("iref", [&] {
            meta.Put(0, 4);
            meta.Box("dimg", [&] {
                meta.Put(1, 2);
                meta.Put(static_cast<std::uint64_t>(columns * rows), 2);
                for (int i = 0; i < columns * rows; ++i) {
                    meta.Put(2, 2); // every tile the same one
                }
            });
        });
        meta.Box("iprp", [&] {
            meta.Box("ipco", [&] {
                meta.Box("hvcC", [&] { meta.Put(hvcC); });
                meta.Box("ispe",
                         [&] { meta.Put(0, 4), meta.Put(tileWidth, 4), meta.Put(tileHeight, 4); });
                meta.Box("ispe", [&] {
                    meta.Put(0, 4), meta.Put(tileWidth * columns, 4),
                        meta.Put(tileHeight * rows, 4);
                });
            });
            meta.Box("ipma", [&] {
                meta.Put(0, 4);
                meta.Put(2, 4);
                meta.Put(1, 2), meta.Put(1, 1), meta.Put(3, 1);
                meta.Put(2, 2), meta.Put(2, 1), meta.Put(0x81, 1), meta.Put(2, 1);
            });
        });
        meta.Box("iloc", [&] {
            meta.Put(0, 4);
            meta.Put(0x44, 1), meta.Put(0, 1);
            meta.Put(2, 2);
            meta.Put(1, 2), meta.Put(0, 2), meta.Put(1, 2), meta.Put(gridAt, 4), meta.Put(8, 4);
            meta.Put(2, 2), meta.Put(0, 2), meta.Put(1, 2), meta.Put(tileAt, 4),
                meta.Put(tileBytes, 4);
        });
    });
    return meta.Bytes();
}

} // namespace

void WriteHeifGrid(const std::filesystem::path& file, const std::filesystem::path& tile,
                   int tileWidth, int tileHeight, int columns, int rows) {
    Require(columns >= 1 && columns <= 256 && rows >= 1 && rows <= 256 &&
            tileWidth * columns <= 65535 && tileHeight * rows <= 65535);
    const std::string source = test::ReadBytes(tile);
    const std::string_view bytes = source;
    const std::string_view meta = FindBox(bytes, 0, bytes.size(), "meta");
    const std::size_t start = OffsetIn(bytes, meta) + 4; // after version and flags
    const std::size_t end = OffsetIn(bytes, meta) + meta.size();
    const std::string_view iprp = FindBox(bytes, start, end, "iprp");
    const std::string_view ipco =
        FindBox(bytes, OffsetIn(bytes, iprp), OffsetIn(bytes, iprp) + iprp.size(), "ipco");
    const std::string_view hvcC =
        FindBox(bytes, OffsetIn(bytes, ipco), OffsetIn(bytes, ipco) + ipco.size(), "hvcC");
    const std::string_view coded = ItemData(bytes, FindBox(bytes, start, end, "iloc"));

    BoxWriter ftyp;
    ftyp.Box("ftyp", [&] { ftyp.Put("heic"), ftyp.Put(0, 4), ftyp.Put("mif1heic"); });
    const std::size_t metaSize =
        GridMeta(hvcC, tileWidth, tileHeight, columns, rows, 0, 0, coded.size()).size();
    const std::uint64_t gridAt = ftyp.Bytes().size() + metaSize + 8;
    BoxWriter mdat;
    mdat.Box("mdat", [&] {
        mdat.Put(0, 2); // version, flags: 16-bit sizes
        mdat.Put(static_cast<std::uint64_t>(rows - 1), 1),
            mdat.Put(static_cast<std::uint64_t>(columns - 1), 1);
        mdat.Put(static_cast<std::uint64_t>(tileWidth * columns), 2);
        mdat.Put(static_cast<std::uint64_t>(tileHeight * rows), 2);
        mdat.Put(coded);
    });
    test::WriteBytes(file, ftyp.Bytes() +
                         GridMeta(hvcC, tileWidth, tileHeight, columns, rows, gridAt, gridAt + 8,
                                  coded.size()) +
                         mdat.Bytes());
}

} // namespace pirela::bench
