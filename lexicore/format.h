// Layout of a compiled dictionary file; docs/file-format.md describes it in
// full. Every constant here mirrors a line of that document.
#ifndef LEXIVANE_LEXICORE_FORMAT_H_
#define LEXIVANE_LEXICORE_FORMAT_H_

#include <cstddef>
#include <cstdint>

namespace lexicore::format {

inline constexpr char kMagic[8] = {'L', 'X', 'V', 'D', 'I', 'C', 'T', '\0'};
// Version 2 derives plain text with <blockquote>, <sup> and ASCII forms of
// characters outside Windows-1252 (lexicore/entry_text.h); a version 1 file
// would print a different text.
inline constexpr uint32_t kVersion = 2;
inline constexpr uint32_t kHeaderSize = 128;

// Byte offsets of the header fields.
inline constexpr size_t kMagicAt = 0;
inline constexpr size_t kVersionAt = 8;
inline constexpr size_t kHeaderSizeAt = 12;
inline constexpr size_t kFileLengthAt = 16;
inline constexpr size_t kHeadwordCountAt = 24;
inline constexpr size_t kExceptionCountAt = 28;
inline constexpr size_t kBlockCountAt = 32;
inline constexpr size_t kMaxBlockSizeAt = 36;
inline constexpr size_t kFlagsAt = 40;
inline constexpr size_t kIndexOffsetAt = 48;
inline constexpr size_t kIndexSizeAt = 56;
inline constexpr size_t kIndexChecksumAt = 64;
inline constexpr size_t kNameRecordsOffsetAt = 72;
inline constexpr size_t kNamesOffsetAt = 76;
inline constexpr size_t kNamesSizeAt = 80;
inline constexpr size_t kPosOffsetAt = 84;
inline constexpr size_t kExceptionsOffsetAt = 88;
inline constexpr size_t kExceptionNamesOffsetAt = 92;
inline constexpr size_t kExceptionNamesSizeAt = 96;
inline constexpr size_t kBlocksOffsetAt = 100;
inline constexpr size_t kCompressionDictOffsetAt = 104;
inline constexpr size_t kCompressionDictSizeAt = 108;
inline constexpr size_t kHeadwordFilterOffsetAt = 112;
inline constexpr size_t kHeadwordFilterWordsAt = 116;
inline constexpr size_t kHeaderChecksumAt = 120;

// A name record: u32 offset of the whole name in the names section (used only
// when the name has kNamePrefixSize bytes or more), then the name's first
// kNamePrefixSize bytes, NUL-padded. A shorter name ends inside its record,
// and most comparisons of the binary search end there too.
inline constexpr size_t kNameRecordSize = 16;
inline constexpr size_t kNamePrefixAt = 4;
inline constexpr size_t kNamePrefixSize = 12;
inline constexpr size_t kPosSize = 1;
inline constexpr size_t kFilterWordSize = 8;
inline constexpr size_t kExceptionSize = 8;  // u32 name offset, u32 base headword index
// A block record: u64 file offset, u32 compressed size, u32 uncompressed size,
// u64 checksum of the compressed bytes, u32 index of its first headword, u32 0.
inline constexpr size_t kBlockRefSize = 32;
inline constexpr size_t kBlockCompressedAt = 8;
inline constexpr size_t kBlockRawAt = 12;
inline constexpr size_t kBlockChecksumAt = 16;
inline constexpr size_t kBlockFirstHeadwordAt = 24;
// An entry inside a block: u32 HTML size, u32 text size, the HTML, the text.
inline constexpr size_t kEntryHeaderSize = 8;
// Text size meaning "the text is the HTML with its markup removed".
inline constexpr uint32_t kDerivedText = 0xFFFFFFFF;

// Sections start on this boundary inside the index region.
inline constexpr size_t kSectionAlign = 8;
// Entries are packed into blocks of about this many uncompressed bytes.
inline constexpr size_t kTargetBlockSize = size_t{16} * 1024;
// No block may claim to decompress to more than this.
inline constexpr uint32_t kMaxBlockSizeCap = 4 * 1024 * 1024;

}  // namespace lexicore::format

#endif  // LEXIVANE_LEXICORE_FORMAT_H_
