#include "transfer/PklibFiles.h"

#include "transfer/Pklib.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace tarvis {

unsigned pklibReadFile(char* buffer, unsigned* size, void* user) {
    auto* streams = static_cast<PklibStreams*>(user);
    if (streams->readFailed) {
        return 0;
    }
    const std::size_t got = std::fread(buffer, 1, *size, streams->in);
    if (got < *size && std::ferror(streams->in)) {
        // The codec takes 0 as the end of the input; the caller learns of the error here.
        streams->readFailed = true;
    }
    streams->bytesRead += got;
    return static_cast<unsigned>(got);
}

void pklibWriteFile(char* buffer, unsigned* size, void* user) {
    auto* streams = static_cast<PklibStreams*>(user);
    if (streams->writeFailed) {
        return;
    }
    const std::size_t put = std::fwrite(buffer, 1, *size, streams->out);
    streams->bytesWritten += put;
    if (put != *size) {
        streams->writeFailed = true;
    }
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

template <class Run>
PklibFileResult throughFiles(const std::string& inPath, const std::string& outPath,
                             bool keepPartial, Run run) {
    PklibFileResult result;
    File in(std::fopen(inPath.c_str(), "rb"));
    if (!in) {
        result.fault = PklibFileFault::OpenInput;
        result.error = errno;
        return result;
    }
    struct stat inStat {};
    struct stat outStat {};
    if (fstat(fileno(in.get()), &inStat) == 0 && stat(outPath.c_str(), &outStat) == 0 &&
        inStat.st_dev == outStat.st_dev && inStat.st_ino == outStat.st_ino) {
        // Opening the output would truncate the input before it is read.
        result.fault = PklibFileFault::SameFile;
        return result;
    }
    std::FILE* outRaw = std::fopen(outPath.c_str(), "wb");
    if (!outRaw) {
        result.fault = PklibFileFault::CreateOutput;
        result.error = errno;
        return result;
    }
    // Only a regular file is ever removed again; a device or pipe named as output stays.
    struct stat created {};
    const bool removable = fstat(fileno(outRaw), &created) == 0 && S_ISREG(created.st_mode);
    PklibStreams streams;
    streams.in = in.get();
    streams.out = outRaw;
    result.code = run(streams);
    int writeError = streams.writeFailed ? errno : 0;
    if (std::fclose(outRaw) != 0 && !streams.writeFailed) {
        streams.writeFailed = true;
        writeError = errno;
    }
    result.bytesIn = streams.bytesRead;
    result.bytesOut = streams.bytesWritten;
    if (streams.readFailed) {
        result.fault = PklibFileFault::Read;
    } else if (streams.writeFailed) {
        result.fault = PklibFileFault::Write;
        result.error = writeError;
    } else if (result.code != kPklibOk) {
        result.fault = PklibFileFault::Codec;
    }
    if (!result.ok() && removable && (!keepPartial || result.bytesOut == 0)) {
        std::remove(outPath.c_str());
    }
    return result;
}

} // namespace

PklibFileResult pklibCompressFile(const std::string& inPath, const std::string& outPath) {
    return throughFiles(inPath, outPath, false, [](PklibStreams& streams) {
        auto work = std::make_unique<char[]>(kPklibCompressWorkSize);
        return compress(pklibReadFile, pklibWriteFile, work.get(), &streams, kPklibAscii, 4096);
    });
}

PklibFileResult pklibDecompressFile(const std::string& inPath, const std::string& outPath) {
    return throughFiles(inPath, outPath, true, [](PklibStreams& streams) {
        auto work = std::make_unique<char[]>(kPklibDecompressWorkSize);
        return decompress(pklibReadFile, pklibWriteFile, work.get(), &streams);
    });
}

std::string pklibFaultText(const PklibFileResult& result, bool compressing,
                           const std::string& inPath, const std::string& outPath) {
    auto withError = [&](const std::string& text) {
        return result.error != 0 ? text + ": " + std::strerror(result.error) : text;
    };
    switch (result.fault) {
    case PklibFileFault::None:
        return {};
    case PklibFileFault::OpenInput:
        return withError(inPath + ": cannot open");
    case PklibFileFault::CreateOutput:
        return withError(outPath + ": cannot create");
    case PklibFileFault::SameFile:
        return outPath + ": is the input file itself";
    case PklibFileFault::Read:
        return inPath + ": read error after " + std::to_string(result.bytesIn) + " bytes";
    case PklibFileFault::Write:
        return withError(outPath + ": write error");
    case PklibFileFault::Codec:
        break;
    }
    if (compressing) {
        return inPath + (result.code == kPklibBadDictionary
                             ? ": compression refused: invalid dictionary size"
                             : ": compression refused: invalid literal coding");
    }
    switch (result.code) {
    case kPklibBadDictionary:
        return inPath + ": not a PKLIB stream: dictionary size code is not 4, 5 or 6";
    case kPklibBadLiteralMode:
        return inPath + ": not a PKLIB stream: literal coding is neither binary nor ASCII";
    case kPklibTooShort:
        return inPath + ": not a PKLIB stream: 4 bytes or fewer";
    default:
        if (result.bytesOut == 0) {
            return inPath + ": compressed data breaks off or is corrupt; nothing could be decoded";
        }
        return inPath + ": compressed data breaks off or is corrupt after " +
               std::to_string(result.bytesOut) + " decoded bytes, which are in " + outPath;
    }
}

} // namespace tarvis
