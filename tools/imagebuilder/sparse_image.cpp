#include "imagebuilder/sparse_image.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace brovane::imagebuilder {

namespace {

bool IsZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t>& SparseImage::Page(std::uint64_t index) {
    auto& page = pages_[index];
    if (page.empty()) {
        page.assign(kPageBytes, 0);
    }
    return page;
}

bool SparseImage::Write(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (offset > size_ || bytes.size() > size_ - offset) {
        return false;
    }
    for (std::size_t done = 0; done < bytes.size();) {
        const std::uint64_t at = offset + done;
        const std::size_t inPage = static_cast<std::size_t>(at % kPageBytes);
        const std::size_t count = std::min(kPageBytes - inPage, bytes.size() - done);
        const auto source = bytes.subspan(done, count);
        // Zero bytes need no page of their own unless one exists already.
        if (!IsZero(source) || pages_.count(at / kPageBytes) != 0) {
            std::copy(source.begin(), source.end(), Page(at / kPageBytes).begin() + inPage);
        }
        done += count;
    }
    return true;
}

std::vector<std::uint64_t> SparseImage::WrittenPageOffsets() const {
    std::vector<std::uint64_t> offsets;
    for (const auto& page : pages_) {
        offsets.push_back(page.first * kPageBytes);
    }
    return offsets;
}

std::vector<std::uint8_t> SparseImage::Read(std::uint64_t offset, std::size_t length) const {
    if (offset >= size_) {
        return {};
    }
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset));
    std::vector<std::uint8_t> out(length, 0);
    for (std::size_t done = 0; done < length;) {
        const std::uint64_t at = offset + done;
        const std::size_t inPage = static_cast<std::size_t>(at % kPageBytes);
        const std::size_t count = std::min(kPageBytes - inPage, length - done);
        const auto page = pages_.find(at / kPageBytes);
        if (page != pages_.end()) {
            std::copy_n(page->second.begin() + inPage, count, out.begin() + done);
        }
        done += count;
    }
    return out;
}

void SparseImage::Truncate(std::uint64_t sizeBytes) {
    size_ = std::min(size_, sizeBytes);
    pages_.erase(pages_.lower_bound((size_ + kPageBytes - 1) / kPageBytes), pages_.end());
}

bool SparseImage::SaveTo(const std::string& path, std::string& error) const {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = ftruncate(fd, static_cast<off_t>(size_)) == 0;
    for (auto it = pages_.begin(); ok && it != pages_.end(); ++it) {
        const std::uint64_t at = it->first * kPageBytes;
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kPageBytes, size_ - at));
        const std::span<const std::uint8_t> bytes(it->second.data(), length);
        ok = IsZero(bytes) || WriteAll(fd, bytes, at);
    }
    if (!ok) {
        error = "cannot write " + path + ": " + std::strerror(errno);
    }
    return close(fd) == 0 && ok;
}

}  // namespace brovane::imagebuilder
