// The write journal on the host: records appended one at a time, each
// flushed to stable storage before the caller goes on, under the file's
// lock so that two programs never interleave. Its folders are made when
// missing. Reading takes the whole journal and decodes it, bad records
// reported and skipped.
#pragma once

#include <optional>
#include <string>

#include "format/journal_record.h"
#include "platform/platform.h"

namespace brovane {

// The journal's contents; an empty scan when there is none yet. Nothing,
// with the reason in error, when it is there but cannot be read.
std::optional<JournalScan> ReadWriteJournal(Platform& platform, std::string& error);

// Appends the record and flushes it; false, with the reason in error, when
// it is not on stable storage.
bool AppendToWriteJournal(Platform& platform, const JournalRecord& record, std::string& error);

// One past the largest sequence the journal holds.
std::uint64_t NextJournalSequence(const JournalScan& scan);

// The journal's form of a drive's identity.
JournalDevice JournalDeviceOf(const DriveIdentity& identity);

}  // namespace brovane
