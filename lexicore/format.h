// Layout of a compiled dictionary file; docs/file-format.md describes it in
// full. Every constant here mirrors a line of that document.
#ifndef LEXIVANE_LEXICORE_FORMAT_H_
#define LEXIVANE_LEXICORE_FORMAT_H_

#include <cstddef>
#include <cstdint>

namespace lexicore::format {

inline constexpr char kMagic[8] = {'L', 'X', 'V', 'D', 'I', 'C', 'T', '\0'};
inline constexpr uint32_t kVersion = 1;
inline constexpr uint32_t kHeaderSize = 128;

// Byte offsets of the header fields.
inline constexpr size_t kMagicAt = 0;
inline constexpr size_t kVersionAt = 8;
inline constexpr size_t kHeaderSizeAt = 12;
inline constexpr size_t kFileLengthAt = 16;
inline constexpr size_t kHeadwordCountAt = 24;
inline constexpr size_t kExceptionCountAt = 28;
inline constexpr size_t kBlockCountAt = 32;
inline constexpr size_t kHashSlotsAt = 36;
inline constexpr size_t kMaxBlockSizeAt = 40;
inline constexpr size_t kFlagsAt = 44;
inline constexpr size_t kIndexOffsetAt = 48;
inline constexpr size_t kIndexSizeAt = 56;
inline constexpr size_t kIndexChecksumAt = 64;
inline constexpr size_t kNamesOffsetAt = 72;
inline constexpr size_t kNamesSizeAt = 76;
inline constexpr size_t kEntriesOffsetAt = 80;
inline constexpr size_t kPosOffsetAt = 84;
inline constexpr size_t kHashOffsetAt = 88;
inline constexpr size_t kExceptionsOffsetAt = 92;
inline constexpr size_t kExceptionNamesOffsetAt = 96;
inline constexpr size_t kExceptionNamesSizeAt = 100;
inline constexpr size_t kBlocksOffsetAt = 104;
inline constexpr size_t kNameRecordsOffsetAt = 108;
inline constexpr size_t kHeaderChecksumAt = 120;

// Sizes of the fixed-width index records.
// u32 offset in the names, then the name's first kNamePrefixSize bytes,
// NUL-padded: most comparisons of the binary search end inside the record.
inline constexpr size_t kNameRecordSize = 16;
inline constexpr size_t kNamePrefixSize = 12;
inline constexpr size_t kEntryRefSize = 8;  // u32 block, u32 offset in block
inline constexpr size_t kPosSize = 1;
inline constexpr size_t kHashSlotSize = 4;
inline constexpr size_t kExceptionSize = 8;    // u32 name offset, u32 base headword index
inline constexpr size_t kBlockRefSize = 24;    // u64 offset, u32 compressed, u32 raw, u64 checksum
inline constexpr size_t kEntryHeaderSize = 8;  // u32 html size, u32 text size

// Sections start on this boundary inside the index region.
inline constexpr size_t kSectionAlign = 8;
// Entries are packed into blocks of about this many uncompressed bytes.
inline constexpr size_t kTargetBlockSize = 32 * 1024;
// No block may claim to decompress to more than this.
inline constexpr uint32_t kMaxBlockSizeCap = 4 * 1024 * 1024;
// A headword is always found within this many slots of its home slot.
inline constexpr uint32_t kMaxProbe = 64;

}  // namespace lexicore::format

#endif  // LEXIVANE_LEXICORE_FORMAT_H_
