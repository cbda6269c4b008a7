// libFuzzer target: any bytes as tarvis.ini must be read without a fault, every free text must
// stay within its room, and a file written from what was read must read back to the same
// settings (the reader and the writer agree on every value the reader can produce).
#include "config/ConfigFile.h"
#include "config/Utils.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace tarvis;

namespace {

const QString& ScratchFile() {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("tarvis.ini"));
    return path;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::abort();
    }
}

void CheckRoom(const QString& text, qsizetype capacity) {
    if (text.size() > capacity) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString& path = ScratchFile();
    WriteFile(path, bytes);

    const ScreenContext screen{1024, 768, 300, 300, 300, 300};
    Settings read;
    ReadConfiguration(path, read, screen);
    CheckRoom(read.MYCALL, kCallSignCapacity);
    CheckRoom(read.HISCALL, kCallSignCapacity);
    CheckRoom(read.GROUPCALL, kCallSignCapacity);
    CheckRoom(read.MYCALL476, kSelCallCapacity);
    CheckRoom(read.HISCALL625, kSelCallCapacity);
    CheckRoom(read.HISCALLLIST, kListCapacity);
    CheckRoom(read.HISCALL476LIST, kListCapacity);

    // The single-key reader over the same file.
    for (const char* section : {"callsigns", "system", "screen"}) {
        for (const char* key : {"MYCALL", "TXEnable", "MainWidth", ""}) {
            const QString value = GetStringFromIniFile(path, QLatin1String(section),
                                                       QLatin1String(key), QStringLiteral("x"));
            CheckRoom(value, kMaxIniValueLength);
        }
    }

    // What is written from the settings reads back as the same file.
    const QByteArray written = FormatConfiguration(read, QStringLiteral("2.0"));
    WriteFile(path, written);
    Settings again;
    ReadConfiguration(path, again, screen);
    if (FormatConfiguration(again, QStringLiteral("2.0")) != written) {
        std::abort();
    }
    return 0;
}
