#include "format/journal_record.h"

#include <array>
#include <cstring>

#include "format/crc32.h"

namespace brovane {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'B', 'R', 'V', 'J'};
constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kCrcBytes = 4;
constexpr std::uint8_t kWriteKind = 1;
constexpr std::uint8_t kDoneKind = 2;
constexpr std::size_t kDoneBody = 9;
constexpr std::size_t kMaxPathBytes = 4096;
constexpr std::uint32_t kMaxBody = 2 * kMaxJournalUnitBytes + 64 + kMaxPathBytes;

class Writer {
  public:
    void U8(std::uint8_t value) { bytes.push_back(value); }
    void U16(std::uint16_t value) { Number(value, 2); }
    void U32(std::uint32_t value) { Number(value, 4); }
    void U64(std::uint64_t value) { Number(value, 8); }
    void Bytes(ByteSpan data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    std::vector<std::uint8_t> bytes;

  private:
    void Number(std::uint64_t value, int size) {
        for (int n = 0; n < size; ++n) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * n)));
        }
    }
};

// Reads fields one after another; `ok` turns false for good once a field
// lies past the end.
class Reader {
  public:
    explicit Reader(ByteSpan bytes) : bytes_(bytes) {}
    std::uint64_t Number(std::size_t size) {
        if (!Have(size)) {
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t n = 0; n < size; ++n) {
            value |= std::uint64_t{bytes_[at_ + n]} << (8 * n);
        }
        at_ += size;
        return value;
    }
    std::vector<std::uint8_t> Bytes(std::size_t size) {
        if (!Have(size)) {
            return {};
        }
        std::vector<std::uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                                      bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + size));
        at_ += size;
        return out;
    }
    bool AtEnd() const { return ok && at_ == bytes_.size(); }
    bool ok = true;

  private:
    bool Have(std::size_t size) {
        ok = ok && size <= bytes_.size() - at_;
        return ok;
    }
    ByteSpan bytes_;
    std::size_t at_ = 0;
};

std::vector<std::uint8_t> WriteBody(const JournalWrite& write) {
    Writer out;
    out.U64(write.sequence);
    out.U64(static_cast<std::uint64_t>(write.time));
    out.U64(write.undoes);
    out.U8(write.beforeUnread ? 1 : 0);
    const std::size_t pathBytes = std::min(write.device.path.size(), kMaxPathBytes);
    out.U16(static_cast<std::uint16_t>(pathBytes));
    out.Bytes(ByteSpan(reinterpret_cast<const std::uint8_t*>(write.device.path.data()), pathBytes));
    out.U64(write.device.sizeBytes);
    out.U64(write.device.deviceNumber);
    out.U64(write.device.inode);
    out.U8(write.device.blockDevice ? 1 : 0);
    out.U64(write.offset);
    out.U32(static_cast<std::uint32_t>(write.after.size()));
    out.Bytes(write.before);
    out.Bytes(write.after);
    return out.bytes;
}

std::optional<JournalWrite> ReadWriteBody(ByteSpan body) {
    Reader in(body);
    JournalWrite write;
    write.sequence = in.Number(8);
    write.time = static_cast<std::int64_t>(in.Number(8));
    write.undoes = in.Number(8);
    const auto flags = in.Number(1);
    write.beforeUnread = (flags & 1) != 0;
    const auto pathBytes = static_cast<std::size_t>(in.Number(2));
    const std::vector<std::uint8_t> path = in.Bytes(pathBytes);
    write.device.path.assign(path.begin(), path.end());
    write.device.sizeBytes = in.Number(8);
    write.device.deviceNumber = in.Number(8);
    write.device.inode = in.Number(8);
    write.device.blockDevice = (in.Number(1) & 1) != 0;
    write.offset = in.Number(8);
    const auto length = static_cast<std::size_t>(in.Number(4));
    if (length == 0 || length > kMaxJournalUnitBytes) {
        return std::nullopt;
    }
    write.before = in.Bytes(length);
    write.after = in.Bytes(length);
    if (!in.AtEnd() || write.sequence == 0) {
        return std::nullopt;
    }
    return write;
}

std::optional<JournalDone> ReadDoneBody(ByteSpan body) {
    Reader in(body);
    JournalDone done;
    done.sequence = in.Number(8);
    const auto result = in.Number(1);
    if (!in.AtEnd() || result < 1 || result > 3) {
        return std::nullopt;
    }
    done.result = static_cast<WriteResult>(result);
    return done;
}

bool MagicAt(ByteSpan bytes, std::size_t at) {
    return bytes.size() - at >= kMagic.size() &&
           std::memcmp(bytes.data() + at, kMagic.data(), kMagic.size()) == 0;
}

// Where the next frame could start after a bad one at `at`.
std::size_t NextMagic(ByteSpan bytes, std::size_t at) {
    for (++at; at < bytes.size() && !MagicAt(bytes, at); ++at) {
    }
    return at;
}

}  // namespace

std::vector<std::uint8_t> EncodeJournalRecord(const JournalRecord& record) {
    std::vector<std::uint8_t> body;
    std::uint8_t kind = kDoneKind;
    if (const auto* write = std::get_if<JournalWrite>(&record)) {
        kind = kWriteKind;
        body = WriteBody(*write);
    } else {
        const auto& done = std::get<JournalDone>(record);
        Writer out;
        out.U64(done.sequence);
        out.U8(static_cast<std::uint8_t>(done.result));
        body = out.bytes;
    }
    Writer frame;
    frame.Bytes(kMagic);
    frame.U8(kind);
    frame.U8(0);
    frame.U16(0);
    frame.U32(static_cast<std::uint32_t>(body.size()));
    frame.Bytes(body);
    frame.U32(Crc32(ByteSpan(frame.bytes).subspan(kMagic.size())));
    return frame.bytes;
}

JournalScan DecodeJournal(ByteSpan bytes) {
    JournalScan scan;
    std::size_t at = 0;
    while (at < bytes.size()) {
        auto bad = [&](std::string reason) {
            scan.problems.push_back({at, std::move(reason)});
            at = NextMagic(bytes, at);
        };
        if (!MagicAt(bytes, at)) {
            bad("not a record");
            continue;
        }
        const ByteSpan rest = bytes.subspan(at);
        const std::uint32_t bodyBytes = ReadU32(rest, 8);
        if (rest.size() < kHeaderBytes || bodyBytes > kMaxBody ||
            rest.size() - kHeaderBytes < std::size_t{bodyBytes} + kCrcBytes) {
            bad("cut short");
            continue;
        }
        const ByteSpan framed =
            rest.subspan(kMagic.size(), kHeaderBytes - kMagic.size() + bodyBytes);
        if (Crc32(framed) != ReadU32(rest, kHeaderBytes + bodyBytes)) {
            bad("wrong checksum");
            continue;
        }
        const ByteSpan body = rest.subspan(kHeaderBytes, bodyBytes);
        const std::uint8_t kind = ReadU8(rest, 4);
        std::optional<JournalRecord> record;
        if (kind == kWriteKind) {
            if (auto write = ReadWriteBody(body)) {
                record = std::move(*write);
            }
        } else if (kind == kDoneKind && body.size() == kDoneBody) {
            if (auto done = ReadDoneBody(body)) {
                record = *done;
            }
        }
        if (!record) {
            bad("a record of no known form");
            continue;
        }
        scan.records.push_back(std::move(*record));
        at += kHeaderBytes + bodyBytes + kCrcBytes;
    }
    return scan;
}

}  // namespace brovane
