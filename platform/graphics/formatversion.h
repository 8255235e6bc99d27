#ifndef FORMATVERSION_H
#define FORMATVERSION_H

// The versions of the stored format (docs/document-format.md).
namespace FormatVersion {

// The oldest version still read.
constexpr unsigned Oldest = 12;
// From this version on, a document or payload ends with its checksum and text items keep
// their font.
constexpr unsigned ChecksumAndFonts = 13;
// What is written.
constexpr unsigned Current = 13;

} // namespace FormatVersion

#endif
