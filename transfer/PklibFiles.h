// File-to-file use of the "PKLIB" codec: the callbacks read and write two open byte streams,
// and the file functions add what the callbacks cannot say through the codec (a failed read
// or write, a file that cannot be opened).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tarvis {

// User data of pklibReadFile / pklibWriteFile.
struct PklibStreams {
    std::FILE* in = nullptr;
    std::FILE* out = nullptr;
    bool readFailed = false;  // a read error (not the end of the file) happened
    bool writeFailed = false; // a write came up short
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;
};

unsigned pklibReadFile(char* buffer, unsigned* size, void* user);
void pklibWriteFile(char* buffer, unsigned* size, void* user);

enum class PklibFileFault {
    None,
    Codec,        // the codec returned a code other than 0
    OpenInput,    // the input file cannot be opened
    CreateOutput, // the output file cannot be created
    SameFile,     // input and output are one file
    Read,         // reading the input failed
    Write,        // writing or closing the output failed
};

struct PklibFileResult {
    PklibFileFault fault = PklibFileFault::None;
    unsigned code = 0;          // the codec's result
    int error = 0;              // errno of a file fault
    std::uint64_t bytesIn = 0;  // bytes read from the input
    std::uint64_t bytesOut = 0; // bytes written to the output
    bool ok() const { return fault == PklibFileFault::None; }
};

// Compresses inPath into outPath (created or truncated) the way stations send files: ASCII
// literal coding and a 4096-byte dictionary.
PklibFileResult pklibCompressFile(const std::string& inPath, const std::string& outPath);

// Decompresses inPath into outPath (created or truncated). When the stream breaks off, what was
// decoded before the fault stays in outPath; when nothing was written (not a stream at all)
// outPath is removed again.
PklibFileResult pklibDecompressFile(const std::string& inPath, const std::string& outPath);

// One line for the operator: the file concerned and what went wrong.
std::string pklibFaultText(const PklibFileResult& result, bool compressing,
                           const std::string& inPath, const std::string& outPath);

} // namespace tarvis
