#include "imagebuilder/directory_entry.h"

#include <algorithm>

#include "imagebuilder/le_bytes.h"

namespace brovane::imagebuilder {

RawEntry EncodeShortEntry(const ShortEntry& entry) {
    RawEntry raw{};
    std::copy(entry.name.begin(), entry.name.end(), raw.begin() + kEntryName);
    PutU8(raw, kEntryAttributes, entry.attributes);
    PutU16(raw, kEntryCreatedTime, entry.stamp.createdTime);
    PutU16(raw, kEntryCreatedDate, entry.stamp.createdDate);
    PutU16(raw, kEntryAccessedDate, entry.stamp.accessedDate);
    PutU16(raw, kEntryClusterHigh, static_cast<std::uint16_t>(entry.firstCluster >> 16));
    PutU16(raw, kEntryModifiedTime, entry.stamp.modifiedTime);
    PutU16(raw, kEntryModifiedDate, entry.stamp.modifiedDate);
    PutU16(raw, kEntryClusterLow, static_cast<std::uint16_t>(entry.firstCluster));
    PutU32(raw, kEntryFileSize, entry.fileSize);
    return raw;
}

}  // namespace brovane::imagebuilder
