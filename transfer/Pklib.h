// The "PKLIB" transfer codec: PKWARE Data Compression Library "implode" streams.
//
// Both functions are driven by the caller's read and write callbacks and keep every piece of
// their state in a work area the caller provides (it need not be initialised or aligned), so a
// file streams through them block by block and nothing survives between calls.
#pragma once

#include <cstddef>

namespace tarvis {

// Fills up to *size bytes into buffer and returns how many it placed there; 0 means the input
// has ended. *size is the requested count on entry.
using PklibRead = unsigned (*)(char* buffer, unsigned* size, void* user);
// Consumes exactly *size bytes from buffer.
using PklibWrite = void (*)(char* buffer, unsigned* size, void* user);

inline constexpr std::size_t kPklibCompressWorkSize = 36312;
inline constexpr std::size_t kPklibDecompressWorkSize = 12596;

// Literal coding, the first byte of every stream.
inline constexpr unsigned kPklibBinary = 0; // a literal is its eight plain bits
inline constexpr unsigned kPklibAscii = 1;  // a literal is a code from the fixed byte table

// Result codes.
inline constexpr unsigned kPklibOk = 0;
inline constexpr unsigned kPklibBadDictionary = 1;  // dictionary size (or its code) not allowed
inline constexpr unsigned kPklibBadLiteralMode = 2; // literal coding neither 0 nor 1
inline constexpr unsigned kPklibTooShort = 3;       // first read gave 4 bytes or fewer
inline constexpr unsigned kPklibBadData = 4;        // stream breaks off or cannot be decoded

// Compresses everything read delivers until it returns 0. dictionarySize is 1024, 2048 or 4096;
// both parameters are checked before any input is read. Output reaches write in blocks of 2048
// bytes (the last one shorter).
unsigned compress(PklibRead read, PklibWrite write, char* workArea, void* user,
                  unsigned literalMode, unsigned dictionarySize);

// Decodes one stream. Output reaches write in blocks of 4096 bytes (the last one shorter); on a
// fault whatever was decoded before it is written before the result is returned.
unsigned decompress(PklibRead read, PklibWrite write, char* workArea, void* user);

} // namespace tarvis
