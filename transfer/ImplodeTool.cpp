// tarvis-implode: compresses a file the way Tarvis sends it, or decompresses a "PKLIB" stream,
// for instance a partial transfer kept in the download folder.
#include "transfer/PklibFiles.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Exit codes of faults that are not the codec's own (those are 1 to 4).
constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 66;
constexpr int kExitCannotCreate = 73;
constexpr int kExitIo = 74;

void usage(std::FILE* to) {
    std::fputs("usage: tarvis-implode compress IN OUT\n"
               "       tarvis-implode decompress IN OUT\n"
               "compress writes a PKLIB stream (ASCII literals, 4096-byte dictionary);\n"
               "decompress restores the file, keeping what it decoded of a damaged stream.\n"
               "Exit status: 0 success; 1-4 the codec's result; 64 usage; 66 input cannot be\n"
               "opened; 73 output cannot be created; 74 read or write error.\n",
               to);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout);
        return 0;
    }
    if (argc != 4) {
        usage(stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    const bool compressing = command == "compress";
    if (!compressing && command != "decompress") {
        std::fprintf(stderr, "tarvis-implode: unknown command '%s'\n", argv[1]);
        usage(stderr);
        return kExitUsage;
    }
    const std::string in = argv[2];
    const std::string out = argv[3];
    const tarvis::PklibFileResult result =
        compressing ? tarvis::pklibCompressFile(in, out) : tarvis::pklibDecompressFile(in, out);
    if (result.ok()) {
        return 0;
    }
    std::fprintf(stderr, "tarvis-implode: %s\n",
                 tarvis::pklibFaultText(result, compressing, in, out).c_str());
    switch (result.fault) {
    case tarvis::PklibFileFault::Codec:
        return static_cast<int>(result.code);
    case tarvis::PklibFileFault::OpenInput:
        return kExitNoInput;
    case tarvis::PklibFileFault::CreateOutput:
    case tarvis::PklibFileFault::SameFile:
        return kExitCannotCreate;
    default:
        return kExitIo;
    }
}
