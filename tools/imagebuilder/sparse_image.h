// A disk image held in memory as the pages that were written, so that a large
// disk costs only what its structures and data take. Saved as a sparse file:
// the file is sized with ftruncate and only pages holding a non-zero byte are
// written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace brovane::imagebuilder {

class SparseImage {
  public:
    explicit SparseImage(std::uint64_t sizeBytes) : size_(sizeBytes) {}

    std::uint64_t Size() const { return size_; }

    // False (and nothing written) when the bytes would run past the image's end.
    bool Write(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Bytes never written read as zero; bytes past the end are not returned.
    std::vector<std::uint8_t> Read(std::uint64_t offset, std::size_t length) const;
    // The whole image as one block (for in-memory disks of tests).
    std::vector<std::uint8_t> Flatten() const { return Read(0, static_cast<std::size_t>(size_)); }

    bool SaveTo(const std::string& path, std::string& error) const;

    // Makes the image end at sizeBytes (no larger than now); what lay behind is gone.
    void Truncate(std::uint64_t sizeBytes);

    // Byte offsets of the pages ever written, in order.
    std::vector<std::uint64_t> WrittenPageOffsets() const;

    static constexpr std::size_t kPageBytes = 4096;

  private:
    std::vector<std::uint8_t>& Page(std::uint64_t index);

    std::uint64_t size_;
    std::map<std::uint64_t, std::vector<std::uint8_t>> pages_;  // page index -> its bytes
};

}  // namespace brovane::imagebuilder
