#include "volume/fat_copies.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>

#include "disk/memory_blocks.h"
#include "disk/sector_transfer.h"
#include "format/fat_entry.h"
#include "volume/volume_blocks.h"

namespace brovane {

namespace {

// Sectors read for all copies together at a time. A copy's piece is a
// multiple of three sectors, so that it holds whole FAT12 entry pairs and no
// entry of any width lies across two pieces.
constexpr std::uint32_t kSectorsOfAllPieces = 3072;
constexpr std::uint32_t kPieceAlign = 3;

std::uint32_t PieceSectors(unsigned copies) {
    const std::uint32_t share = kSectorsOfAllPieces / copies;
    return std::max(kPieceAlign, share - share % kPieceAlign);
}

// The entries a whole piece of that many bytes holds.
std::uint32_t EntriesIn(std::size_t bytes, std::uint16_t fatType) {
    const auto count =
        fatType == kFat12Code ? bytes * 2 / 3 : bytes / PlaceOfFatEntry(0, fatType).width;
    return static_cast<std::uint32_t>(count);
}

class CopiesCompare {
  public:
    CopiesCompare(Platform& platform, DiskAccess& disk, const VolumeGeometry& volume,
                  unsigned copies, FatCopiesComparison& result)
        : platform_(platform), disk_(disk), volume_(volume), copies_(copies), result_(result) {}

    bool Run() {
        result_ = {};
        result_.fatType = volume_.fatType;
        result_.copies = copies_;
        if (!AllocatePieces()) {
            return false;
        }
        std::uint32_t entry = 0;
        for (std::uint32_t sector = 0; sector < volume_.sectorsPerFat;) {
            const std::uint32_t count = std::min(pieceSectors_, volume_.sectorsPerFat - sector);
            entry += ComparePieces(sector, count, entry);
            sector += count;
        }
        return true;
    }

  private:
    // No pieces for a FAT of 0 sectors: nothing to compare.
    bool AllocatePieces() {
        if (copies_ == 0 ||
            !FitsVolumeDrive(platform_, volume_.origin.driveNumber, volume_.sectorsPerFat)) {
            return false;
        }
        pieceSectors_ = std::min(PieceSectors(copies_), volume_.sectorsPerFat);
        if (pieceSectors_ > 0) {
            pieces_ = AllocateSectors(platform_, std::uint64_t{copies_} * pieceSectors_);
        }
        unread_.assign(std::size_t{copies_} * pieceSectors_, 0);
        row_.resize(copies_);
        return pieceSectors_ == 0 || static_cast<bool>(pieces_);
    }

    // The piece of count sectors from `sector` of every copy; answers how
    // many entries it holds.
    std::uint32_t ComparePieces(std::uint32_t sector, std::uint32_t count,
                                std::uint32_t firstEntry) {
        for (unsigned n = 0; n < copies_; ++n) {
            ReadPiece(n, sector, count);
        }
        const std::size_t bytes = std::size_t{count} * kSectorBytes;
        return PiecesAgree(count) ? EntriesIn(bytes, volume_.fatType)
                                  : CompareEntries(bytes, firstEntry);
    }

    std::uint8_t* PieceOf(unsigned n) const {
        return pieces_.data() + std::size_t{n} * pieceSectors_ * kSectorBytes;
    }
    std::span<std::uint8_t> UnreadOf(unsigned n, std::uint32_t count) {
        return std::span(unread_).subspan(std::size_t{n} * pieceSectors_, count);
    }

    // count sectors of copy n from `sector` of its FAT, noting each one not
    // read. The disk library stops behind a failed track piece; the read
    // goes on from there.
    void ReadPiece(unsigned n, std::uint32_t sector, std::uint32_t count) {
        std::span<std::uint8_t> unread = UnreadOf(n, count);
        std::fill(unread.begin(), unread.end(), std::uint8_t{0});
        const std::uint64_t first =
            volume_.reservedSectors + std::uint64_t{n} * volume_.sectorsPerFat + sector;
        if (first + count - 1 > UINT32_MAX) {
            std::fill(unread.begin(), unread.end(), kSectorFailed);
            return;
        }
        for (std::uint32_t done = 0; done < count;) {
            const SectorRun run =
                VolumeRun(volume_, static_cast<std::uint32_t>(first + done), count - done);
            std::span<std::uint8_t> rest = unread.subspan(done);
            ReadSectorsNotingUnread(platform_, disk_, run,
                                    PieceOf(n) + std::size_t{done} * kSectorBytes, rest);
            auto reached = static_cast<std::uint32_t>(
                std::find(rest.begin(), rest.end(), kSectorNotReached) - rest.begin());
            if (reached == rest.size()) {
                return;
            }
            std::fill(rest.begin() + reached, rest.end(), std::uint8_t{0});
            if (reached == 0) {
                rest[0] = kSectorFailed;
                reached = 1;
            }
            done += reached;
        }
    }

    // Every copy read whole and byte for byte the same: nothing to list.
    bool PiecesAgree(std::uint32_t count) {
        const std::size_t bytes = std::size_t{count} * kSectorBytes;
        for (unsigned n = 0; n < copies_; ++n) {
            std::span<std::uint8_t> unread = UnreadOf(n, count);
            if (std::any_of(unread.begin(), unread.end(), [](std::uint8_t u) { return u != 0; }) ||
                std::memcmp(PieceOf(0), PieceOf(n), bytes) != 0) {
                return false;
            }
        }
        return true;
    }

    bool EntryUnread(unsigned n, const FatEntryPlace& place) const {
        const std::size_t base = std::size_t{n} * pieceSectors_;
        return unread_[base + place.offset / kSectorBytes] != 0 ||
               unread_[base + (place.offset + place.width - 1) / kSectorBytes] != 0;
    }

    // Lists the piece's entries that differ or that a copy could not read;
    // answers how many entries the piece holds.
    std::uint32_t CompareEntries(std::size_t bytes, std::uint32_t firstEntry) {
        const std::uint16_t fatType = volume_.fatType;
        std::uint32_t e = 0;
        for (;; ++e) {
            const FatEntryPlace place = PlaceOfFatEntry(e, fatType);
            if (place.offset + place.width > bytes) {
                break;
            }
            bool unreadable = false;
            bool differ = false;
            std::optional<std::uint32_t> seen;
            for (unsigned n = 0; n < copies_; ++n) {
                std::optional<std::uint32_t> value;
                if (!EntryUnread(n, place)) {
                    value = ReadFatEntry(e, fatType, ByteSpan(PieceOf(n), bytes));
                }
                unreadable = unreadable || !value;
                differ = differ || (value && seen && *value != *seen);
                seen = seen ? seen : value;
                row_[n] = value.value_or(kUnreadableFatEntry);
            }
            if (differ || unreadable) {
                result_.entries.push_back(firstEntry + e);
                result_.values.insert(result_.values.end(), row_.begin(), row_.end());
                result_.differing += differ ? 1 : 0;
                result_.unreadable += unreadable ? 1 : 0;
            }
        }
        return e;
    }

    Platform& platform_;
    DiskAccess& disk_;
    const VolumeGeometry& volume_;
    unsigned copies_;
    FatCopiesComparison& result_;
    std::uint32_t pieceSectors_ = 0;
    PlatformBlock pieces_;              // copies_ pieces, copy 1 first
    std::vector<std::uint8_t> unread_;  // a flag per sector of the pieces
    std::vector<std::uint32_t> row_;    // the values of one entry
};

}  // namespace

bool CompareFatCopies(Platform& platform, DiskAccess& disk, const VolumeGeometry& volume,
                      unsigned copies, FatCopiesComparison& result) {
    return CopiesCompare(platform, disk, volume, copies, result).Run();
}

}  // namespace brovane
