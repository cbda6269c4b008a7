// libFuzzer target: any byte string handed to decompress must end in a result code without a
// read or write outside the work area and the callbacks' buffers (the sanitizers see those),
// with output only in whole blocks. The input is also compressed in the setting its first
// byte picks and must come back unchanged.
#include "transfer/Pklib.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Io {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
    std::size_t chunk;     // largest piece one read returns (0: as much as asked)
    std::size_t blockSize; // what every write but the last must hand over
    bool sawShortBlock;
    std::vector<std::uint8_t> out;
};

unsigned readIo(char* buffer, unsigned* size, void* user) {
    auto* io = static_cast<Io*>(user);
    std::size_t n = io->size - io->pos;
    if (n > *size) {
        n = *size;
    }
    if (io->chunk != 0 && n > io->chunk) {
        n = io->chunk;
    }
    if (n != 0) {
        std::memcpy(buffer, io->data + io->pos, n);
    }
    io->pos += n;
    return static_cast<unsigned>(n);
}

void writeIo(char* buffer, unsigned* size, void* user) {
    auto* io = static_cast<Io*>(user);
    if (io->sawShortBlock || *size == 0 || *size > io->blockSize) {
        std::abort(); // only the last block may be short
    }
    io->sawShortBlock = *size < io->blockSize;
    io->out.insert(io->out.end(), buffer, buffer + *size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly the work area's size on the heap, so that the address sanitizer flags any byte
    // beyond it.
    auto decodeArea = std::make_unique<char[]>(tarvis::kPklibDecompressWorkSize);
    Io decoded{data, size, 0, 0, 4096, false, {}};
    const unsigned code = tarvis::decompress(readIo, writeIo, decodeArea.get(), &decoded);
    if (code > tarvis::kPklibBadData) {
        std::abort();
    }
    if (code != tarvis::kPklibOk && code != tarvis::kPklibBadData && !decoded.out.empty()) {
        std::abort(); // a refused header decodes nothing
    }

    if (size == 0) {
        return 0;
    }
    const unsigned mode = data[0] & 1u;
    const unsigned dictionary = 1024u << ((data[0] >> 1) % 3);
    const std::size_t chunk = (data[0] >> 3) % 4 == 0 ? 1u + data[0] % 13u : 0u;
    auto encodeArea = std::make_unique<char[]>(tarvis::kPklibCompressWorkSize);
    Io packed{data, size, 0, chunk, 2048, false, {}};
    if (tarvis::compress(readIo, writeIo, encodeArea.get(), &packed, mode, dictionary) !=
        tarvis::kPklibOk) {
        std::abort();
    }
    Io restored{packed.out.data(), packed.out.size(), 0, 0, 4096, false, {}};
    if (tarvis::decompress(readIo, writeIo, decodeArea.get(), &restored) != tarvis::kPklibOk ||
        restored.out.size() != size || std::memcmp(restored.out.data(), data, size) != 0) {
        std::abort();
    }
    return 0;
}
