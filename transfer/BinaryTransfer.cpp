#include "transfer/BinaryTransfer.h"

#include "transfer/Pklib.h"
#include "transfer/PklibFiles.h"
#include "transfer/ReceivedNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tarvis {

namespace {

constexpr std::uint32_t kStatusFlag = 0x8000;
constexpr std::uint8_t kCmdSetup41 = 0x41;
constexpr std::uint8_t kCmdSetup46 = 0x46;
constexpr std::uint8_t kCmdSetup49 = 0x49;
constexpr std::uint8_t kCmdSetup51 = 0x51;
constexpr std::uint8_t kCmdSetup56 = 0x56;
constexpr std::uint8_t kCmdSetup59 = 0x59;
// Waiting for the code byte after SOH.
constexpr int kCodeTimeoutMs = kFieldTimeoutMs;

const char* const kPklib = "PKLIB";
const char* const kNone = "NONE";
const char* const kTemporaryExtension = ".__$";

std::string ErrorText(int error) {
    return std::strerror(error);
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) {
            return false;
        }
    }
    return true;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name as it travels in the header: bytes that would end a field become "_".
std::string HeaderName(const std::string& name) {
    std::string out;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        out.push_back(c < 0x20 ? '_' : ch);
    }
    return out;
}

long long FileLength(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Decompression into a file that may not grow past the announced size.
struct CappedOutput {
    std::FILE* in = nullptr;
    std::FILE* out = nullptr;
    std::int64_t limit = 0;
    std::int64_t written = 0;
    bool overrun = false;
    bool writeFailed = false;
    int error = 0;
};

unsigned CappedRead(char* buffer, unsigned* size, void* user) {
    auto* c = static_cast<CappedOutput*>(user);
    return static_cast<unsigned>(std::fread(buffer, 1, *size, c->in));
}

void CappedWrite(char* buffer, unsigned* size, void* user) {
    auto* c = static_cast<CappedOutput*>(user);
    if (c->overrun || c->writeFailed) {
        return;
    }
    std::int64_t n = *size;
    if (c->written + n > c->limit) {
        c->overrun = true;
        n = c->limit - c->written;
    }
    if (n > 0 && std::fwrite(buffer, 1, static_cast<std::size_t>(n), c->out) !=
                     static_cast<std::size_t>(n)) {
        c->writeFailed = true;
        c->error = errno;
    }
    c->written += n;
}

} // namespace

TransferBytes HostEscaped(const TransferBytes& air) {
    TransferBytes out;
    out.reserve(air.size());
    for (const char ch : air) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0x80 || c == 0x81) {
            out.push_back(static_cast<char>(0x81));
        }
        out.push_back(ch);
    }
    return out;
}

TransferBytes EncodeDataByte(std::uint8_t b) {
    switch (b) {
    case 0x00:
        return {static_cast<char>(kSoh), static_cast<char>(kXferByte00)};
    case 0x01:
        return {static_cast<char>(kSoh), static_cast<char>(kXferByte01)};
    case 0x80:
    case 0x81:
        return {static_cast<char>(0x81), static_cast<char>(b)};
    default:
        return {static_cast<char>(b)};
    }
}

std::optional<std::int64_t> ParseDecimalField(const std::string& field) {
    if (field.empty() || field.size() > kNumberField) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char ch : field) {
        if (ch < '0' || ch > '9') {
            return std::nullopt;
        }
        value = value * 10 + (ch - '0');
        if (value > 0x7FFFFFFF) {
            return std::nullopt;
        }
    }
    return value;
}

std::string ElapsedText(std::int64_t s) {
    const std::int64_t h = s / 3600;
    const std::int64_t m = (s - 3600 * h) / 60;
    const std::int64_t sec = s - 3600 * h - 60 * m;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld", h < 10 ? "0" : "",
                  static_cast<long long>(h), static_cast<long long>(m),
                  static_cast<long long>(sec));
    return text;
}

BinaryTransfer::BinaryTransfer(TransferStation& station, TransferOperator& op,
                               TransferFlags flags, std::string homeFolder,
                               std::string downloadFolder, std::string tempFolder)
    : station_(station), op_(op), flags_(flags), home_(std::move(homeFolder)),
      download_(std::move(downloadFolder)), tempFolder_(std::move(tempFolder)) {
    for (std::string* folder : {&home_, &download_, &tempFolder_}) {
        if (!folder->empty() && folder->back() != '/') {
            folder->push_back('/');
        }
    }
}

BinaryTransfer::~BinaryTransfer() {
    CloseFiles();
}

bool BinaryTransfer::Active() const {
    return flags_.receiving || flags_.sendingData || flags_.awaitingReply || sending_ ||
           reportDue_;
}

// ---------------------------------------------------------------- reading the ring

std::optional<std::uint8_t> BinaryTransfer::ReadText(int timeoutMs) {
    for (;;) {
        const std::optional<std::uint32_t> item = station_.NextItem(timeoutMs);
        if (!item) {
            return std::nullopt;
        }
        const auto value = static_cast<std::uint8_t>(*item & 0xFF);
        if (*item >= kStatusFlag) {
            station_.StatusInline(value);
        } else if (station_.Echoing()) {
            // The station's own echoes are never part of what the peer sent.
            station_.ShowEcho(value);
        } else {
            return value;
        }
    }
}

bool BinaryTransfer::ReadField(std::uint8_t end, std::size_t width, std::string& field,
                               bool& tooLong) {
    field.clear();
    for (;;) {
        const std::optional<std::uint8_t> c = ReadText(kFieldTimeoutMs);
        if (!c) {
            return false;
        }
        if (*c == end) {
            return true;
        }
        if (field.size() < width) {
            field.push_back(static_cast<char>(*c));
        } else {
            tooLong = true;
        }
    }
}

void BinaryTransfer::SendSequence(std::uint8_t code, const TransferBytes& body) {
    TransferBytes air{static_cast<char>(kSoh), static_cast<char>(code)};
    air += body;
    station_.SendText(HostEscaped(air));
}

// ---------------------------------------------------------------- control sequences

void BinaryTransfer::Control() {
    station_.SetDispatchPaused(true);
    const std::optional<std::uint8_t> code = ReadText(kCodeTimeoutMs);
    station_.SetDispatchPaused(false);
    if (!code) {
        return;
    }
    switch (*code) {
    case kXferHeader:
    case kXferHeaderAlt:
        OnHeader();
        return;
    case kXferAccept:
        if (flags_.awaitingReply) {
            OnAccept();
        }
        return;
    case kXferRefuse:
        if (flags_.awaitingReply) {
            OnRefuse();
        }
        return;
    case kXferByte00:
    case kXferByte01:
        if (flags_.receiving) {
            OnDataControl(*code == kXferByte00 ? 0x00 : 0x01);
        }
        return;
    case kXferEnd:
        if (flags_.receiving) {
            OnEnd();
        }
        return;
    case kXferComplete:
    case kXferFailed:
        if (reportDue_ || flags_.awaitingReply || flags_.sendingData) {
            OnReport(*code == kXferComplete);
        }
        return;
    case kXferAbort:
        if (Active()) {
            OnPeerAbort();
        }
        return;
    case kXferFax:
        if (fax_) {
            fax_();
        }
        return;
    default:
        // 01 83, 01 97 and every other code: both bytes are gone.
        return;
    }
}

// ---------------------------------------------------------------- sender

void BinaryTransfer::SendFiles(const std::vector<std::string>& paths) {
    if (paths.empty() || Active()) {
        return;
    }
    files_ = paths;
    nextIndex_ = 0;
    filesRemaining_ = static_cast<int>(paths.size());
    flags_.awaitingReply = true;
    if (!PrepareNext()) {
        flags_.awaitingReply = false;
        filesRemaining_ = 0;
        return;
    }
    Announce(true);
}

bool BinaryTransfer::PrepareNext() {
    const std::string path = files_[nextIndex_++];
    fileName_ = BaseName(path);
    const long long length = FileLength(path);
    if (length < 0) {
        op_.Message("Cannot read " + path + ": " + ErrorText(errno), "ERROR", true);
        return false;
    }
    fileSize_ = length;
    // The compressed copy goes to a fresh file of the temporary folder, so that no file of the
    // operator's (not even one named like it) is ever written or removed for it.
    std::string pattern = tempFolder_ + NameStem(fileName_) + ".XXXXXX" + kTemporaryExtension;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), static_cast<int>(std::strlen(kTemporaryExtension)));
    if (fd < 0) {
        op_.Message("PKLIB Implode failed!", "ERROR", true);
        return false;
    }
    ::close(fd);
    const std::string temporary(name.data());
    const PklibFileResult packed = pklibCompressFile(path, temporary);
    if (!packed.ok()) {
        ::unlink(temporary.c_str());
        op_.Message("PKLIB Implode failed!", "ERROR", true);
        return false;
    }
    sentCount_ = 0;
    sentDisplayCount_ = 0;
    transferSize_ = static_cast<std::int64_t>(packed.bytesOut);
    if (transferSize_ < fileSize_) {
        method_ = kPklib;
        sendPath_ = temporary;
        ownTemporary_ = temporary;
    } else {
        method_ = kNone;
        transferSize_ = fileSize_;
        if (::unlink(temporary.c_str()) != 0) {
            op_.Message("Cannot remove file: " + temporary, "", false);
        }
        sendPath_ = path;
        ownTemporary_.clear();
    }
    endQueued_ = false;

    panel_ = TransferPanel{};
    panel_.visible = true;
    panel_.button = nextIndex_ == 1 ? "&Abort" : "&Abort Transfer";
    panel_.label = "Sending Binary File";
    panel_.fileName = fileName_;
    panel_.fileSize = std::to_string(fileSize_);
    panel_.compSize = std::to_string(transferSize_);
    panel_.method = method_;
    panel_.gaugeMax = transferSize_;
    StartClock();
    Changed();
    return true;
}

void BinaryTransfer::Announce(bool first) {
    const char sep = static_cast<char>(kFieldEnd);
    TransferBytes header = HeaderName(fileName_) + sep + std::to_string(fileSize_) + sep +
                           std::to_string(transferSize_) + sep + method_ +
                           static_cast<char>(kSequenceEnd);
    if (first) {
        station_.WaitForEmptyQueue();
        sending_ = true;
        SendSequence(kXferHeader, header);
        return;
    }
    station_.SendCommand(kCmdSetup41);
    station_.SendCommand(kCmdSetup46);
    station_.SendCommand(kCmdSetup49);
    sending_ = true;
    SendSequence(kXferHeader, header);
    flags_.awaitingReply = true;
    station_.SendCommand(kCmdSetup51);
    station_.SendCommand(kCmdSetup56);
}

void BinaryTransfer::OnAccept() {
    flags_.awaitingReply = false;
    station_.SetDispatchPaused(true);
    std::string field;
    bool tooLong = false;
    const bool read = ReadField(kSequenceEnd, kOffsetField, field, tooLong);
    std::optional<std::int64_t> offset;
    if (read && !tooLong) {
        offset = (field.empty() || field == std::string(1, '\0')) ? std::optional<std::int64_t>(0)
                                                                   : ParseDecimalField(field);
    }
    panel_.gaugeMax = transferSize_;
    if (!offset || *offset > transferSize_) {
        // An answer that cannot be followed: the peer is told the transfer is off.
        station_.SetDispatchPaused(false);
        SendSequence(kXferAbort);
        reportDue_ = false;
        sending_ = false;
        flags_.sendingData = false;
        RemoveOwnTemporary();
        panel_.completeFail = "Failed!";
        panel_.button = "O&K";
        Changed();
        AppendLog(false);
        filesRemaining_ = 0;
        station_.SendCommand(kCmdSetup59);
        return;
    }
    in_ = std::fopen(sendPath_.c_str(), "rb");
    if (in_ != nullptr) {
        if (*offset != 0) {
            std::fseek(in_, static_cast<long>(*offset), SEEK_SET);
            sentCount_ = *offset;
            sentDisplayCount_ = *offset;
        }
        flags_.sendingData = true;
        sending_ = true;
        reportDue_ = true;
    } else {
        op_.Message("Cannot read " + sendPath_ + ": " + ErrorText(errno), "ERROR", true);
    }
    station_.SetDispatchPaused(false);
    station_.SendCommand(kCmdSetup59);
    station_.ResetBytesInFlight();
}

TransferBytes BinaryTransfer::DataStep() {
    TransferBytes out;
    if (in_ == nullptr || endQueued_) {
        return out;
    }
    if (sentCount_ < transferSize_) {
        const int c = std::fgetc(in_);
        // A file that shrank under the sender still goes out at its announced length.
        out = EncodeDataByte(static_cast<std::uint8_t>(c == EOF ? 0 : c));
        ++sentCount_;
        ++sentDisplayCount_;
    }
    if (sentCount_ >= transferSize_) {
        std::fclose(in_);
        in_ = nullptr;
        RemoveOwnTemporary();
        out += static_cast<char>(kSoh);
        out += static_cast<char>(kXferEnd);
        endQueued_ = true;
    }
    return out;
}

void BinaryTransfer::OnRefuse() {
    station_.SetDispatchPaused(false);
    flags_.receiving = false;
    flags_.sendingData = false;
    flags_.awaitingReply = false;
    sending_ = false;
    reportDue_ = false;
    filesRemaining_ = 0;
    panel_.visible = false;
    Changed();
    RemoveOwnTemporary();
    CloseFiles();
    op_.Message("File already exists at receiving station", "Transfer Failure", false);
}

void BinaryTransfer::OnReport(bool complete) {
    // The display shows the whole file before it says how it ended.
    Refresh();
    panel_.button = "O&K";
    panel_.completeFail = complete ? "Complete!" : "Failed!";
    flags_.sendingData = false;
    flags_.awaitingReply = false;
    reportDue_ = false;
    sending_ = false;
    if (in_ != nullptr) {
        std::fclose(in_);
        in_ = nullptr;
    }
    RemoveOwnTemporary();
    Changed();
    AppendLog(complete);
    station_.SetDispatchPaused(false);
    if (!complete) {
        filesRemaining_ = 0;
        return;
    }
    --filesRemaining_;
    while (filesRemaining_ > 0) {
        if (PrepareNext()) {
            Announce(false);
            return;
        }
        --filesRemaining_;
    }
}

void BinaryTransfer::AppendLog(bool complete) {
    std::FILE* log = std::fopen((home_ + "binxfer.log").c_str(), "ab");
    if (log == nullptr) {
        return;
    }
    std::fprintf(log, "%s  %s\t%s\t%s\t%ld\t%s\r\n", station_.LogDate().c_str(),
                 station_.LogTime().c_str(), fileName_.c_str(), method_.c_str(),
                 static_cast<long>(fileSize_), complete ? "Complete" : "Failed");
    std::fclose(log);
}

void BinaryTransfer::RemoveOwnTemporary() {
    if (!ownTemporary_.empty()) {
        ::unlink(ownTemporary_.c_str());
        ownTemporary_.clear();
    }
}

// ---------------------------------------------------------------- receiver

void BinaryTransfer::OnHeader() {
    station_.SetDispatchPaused(true);
    std::string fields[4];
    const std::pair<std::uint8_t, std::size_t> shape[4] = {{kFieldEnd, kNameField},
                                                           {kFieldEnd, kNumberField},
                                                           {kFieldEnd, kNumberField},
                                                           {kSequenceEnd, kNumberField}};
    bool tooLong = false;
    for (int i = 0; i < 4; ++i) {
        if (!ReadField(shape[i].first, shape[i].second, fields[i], tooLong)) {
            // The peer stopped in the middle of its header.
            ReceiveAnswerFailure({});
            return;
        }
    }
    const std::optional<std::int64_t> fileSize = ParseDecimalField(fields[1]);
    const std::optional<std::int64_t> transferSize = ParseDecimalField(fields[2]);
    const std::string name = SafeReceivedName(fields[0]);
    if (tooLong || !fileSize || !transferSize || name.empty() || Active()) {
        ReceiveAnswerFailure({});
        return;
    }
    auto refuse = [&] {
        SendSequence(kXferRefuse);
        flags_.receiving = false;
        station_.SetDispatchPaused(false);
        station_.SendCommand(kCmdSetup59);
    };
    const PathKind existing = KindAt(download_ + name);
    if (existing == PathKind::Unreachable) {
        ReceiveAnswerFailure("Cannot write " + download_ + name + ": " + ErrorText(errno));
        return;
    }
    if (existing != PathKind::Missing) {
        refuse();
        return;
    }
    const std::string partial = download_ + NameStem(name) + kTemporaryExtension;
    long long held = 0;
    const PathKind partialKind = KindAt(partial, &held);
    if (partialKind == PathKind::Other || (partialKind == PathKind::RegularFile &&
                                           held >= *transferSize)) {
        refuse();
        return;
    }
    const bool fresh = partialKind == PathKind::Missing;
    std::FILE* file = OpenReceivedFile(partial, fresh);
    if (file == nullptr) {
        ReceiveAnswerFailure("Cannot write " + partial + ": " + ErrorText(errno));
        return;
    }
    out_ = file;
    SendSequence(kXferAccept, (fresh ? std::string(1, '\0') : std::to_string(held)) +
                                  static_cast<char>(kSequenceEnd));
    receivedName_ = name;
    partialPath_ = partial;
    fileName_ = name;
    fileSize_ = *fileSize;
    transferSize_ = *transferSize;
    method_ = fields[3];
    receivedCount_ = fresh ? 0 : held;
    writeFailed_ = false;
    overrun_ = false;
    flags_.receiving = true;
    station_.SetDispatchPaused(false);

    panel_ = TransferPanel{};
    panel_.visible = true;
    panel_.label = "Receiving Binary File";
    panel_.button = "&Abort Transfer";
    panel_.fileName = fields[0];
    panel_.fileSize = fields[1];
    panel_.compSize = fields[2];
    panel_.method = fields[3];
    panel_.gaugeMax = transferSize_;
    StartClock();
    ShowCounts(receivedCount_);
    Changed();
}

void BinaryTransfer::ReceiveAnswerFailure(const std::string& why) {
    SendSequence(kXferFailed);
    flags_.receiving = false;
    station_.SetDispatchPaused(false);
    station_.SendCommand(kCmdSetup59);
    if (!why.empty()) {
        op_.Message(why, "Transfer Failure", true);
    }
}

void BinaryTransfer::WriteReceivedByte(std::uint8_t b) {
    if (out_ == nullptr || writeFailed_) {
        return;
    }
    if (receivedCount_ >= transferSize_) {
        // More than was announced: none of it reaches the disk.
        overrun_ = true;
        return;
    }
    if (std::fputc(b, out_) == EOF) {
        writeErrno_ = errno;
        writeFailed_ = true;
        return;
    }
    ++receivedCount_;
}

void BinaryTransfer::OnDataControl(std::uint8_t b) {
    WriteReceivedByte(b);
    if (out_ != nullptr && std::fflush(out_) != 0 && !writeFailed_) {
        writeErrno_ = errno;
        writeFailed_ = true;
    }
    if (writeFailed_) {
        FailReceiveNow("Cannot write " + partialPath_ + ": " + ErrorText(writeErrno_));
        return;
    }
    ShowCounts(receivedCount_);
    Changed();
}

void BinaryTransfer::FailReceiveNow(const std::string& why) {
    flags_.receiving = false;
    if (out_ != nullptr) {
        std::fclose(out_);
        out_ = nullptr;
    }
    // A partial file that could not be written whole would be taken for a start to resume.
    ::unlink(partialPath_.c_str());
    SendSequence(kXferFailed);
    FinishReceive(false, {}, why);
}

void BinaryTransfer::OnEnd() {
    ShowCounts(fileSize_);
    panel_.bytes = std::to_string(fileSize_);
    panel_.gaugePos = fileSize_;
    flags_.receiving = false;
    flags_.sendingData = false;
    sending_ = false;
    bool closed = true;
    if (out_ != nullptr) {
        closed = std::fclose(out_) == 0;
        if (!closed && !writeFailed_) {
            writeErrno_ = errno;
            writeFailed_ = true;
        }
        out_ = nullptr;
    }
    std::string why;
    if (writeFailed_) {
        why = "Cannot write " + partialPath_ + ": " + ErrorText(writeErrno_);
    } else if (overrun_) {
        why = "The file " + receivedName_ + " arrived longer than announced.";
    }
    if (!why.empty()) {
        ::unlink(partialPath_.c_str());
        SendSequence(kXferFailed);
        FinishReceive(false, {}, why);
        return;
    }
    if (EqualsIgnoringCase(method_, kPklib)) {
        const std::string target = download_ + receivedName_;
        const bool ok = Unpack(partialPath_, target, why);
        ::unlink(partialPath_.c_str());
        SendSequence(ok ? kXferComplete : kXferFailed);
        FinishReceive(ok, ok ? target : std::string(), why);
        return;
    }
    const std::string target = home_ + receivedName_;
    if (!MoveWithoutReplacing(partialPath_, target)) {
        why = "The received file could not be stored as " + target + ": " + ErrorText(errno) +
              ". It is kept as " + partialPath_ + ".";
        SendSequence(kXferFailed);
        FinishReceive(false, {}, why);
        return;
    }
    SendSequence(kXferComplete);
    FinishReceive(true, target, {});
}

bool BinaryTransfer::Unpack(const std::string& from, const std::string& to, std::string& why) {
    CappedOutput c;
    c.limit = fileSize_;
    c.in = std::fopen(from.c_str(), "rb");
    if (c.in == nullptr) {
        why = "Cannot read " + from + ": " + ErrorText(errno);
        return false;
    }
    c.out = OpenReceivedFile(to, true);
    if (c.out == nullptr) {
        why = "Cannot write " + to + ": " + ErrorText(errno);
        std::fclose(c.in);
        return false;
    }
    auto work = std::unique_ptr<char[]>(new (std::nothrow) char[kPklibDecompressWorkSize]);
    unsigned code = kPklibOk;
    if (!work) {
        op_.Message("Unable to allocate PKLIB work buffer!", "ERROR", true);
        code = kPklibBadData;
    } else {
        code = decompress(CappedRead, CappedWrite, work.get(), &c);
    }
    std::fclose(c.in);
    if (std::fclose(c.out) != 0 && !c.writeFailed) {
        c.writeFailed = true;
        c.error = errno;
    }
    const bool ok = code == kPklibOk && !c.overrun && !c.writeFailed;
    if (!ok) {
        // Half a file is never left to be taken for the file, and the name stays free for the
        // next attempt.
        ::unlink(to.c_str());
        if (c.writeFailed) {
            why = "Cannot write " + to + ": " + ErrorText(c.error);
        } else if (c.overrun) {
            why = "The file " + receivedName_ + " unpacked longer than announced.";
        }
    }
    return ok;
}

void BinaryTransfer::FinishReceive(bool ok, const std::string& savedAt, const std::string& why) {
    panel_.completeFail = ok ? "Complete!" : "Failed!";
    panel_.buttonDefault = true;
    panel_.button = "O&K";
    station_.SetDispatchPaused(false);
    Changed();
    if (!why.empty()) {
        op_.Message(why, "Transfer Failure", true);
    }
    if (!ok) {
        return;
    }
    const std::string chosen = op_.AskSavePath(download_, receivedName_);
    if (chosen.empty()) {
        return;
    }
    struct stat a {};
    struct stat b {};
    if (::stat(chosen.c_str(), &b) == 0 && ::stat(savedAt.c_str(), &a) == 0 &&
        a.st_dev == b.st_dev && a.st_ino == b.st_ino) {
        // The file is already where the operator wants it.
        return;
    }
    if (std::rename(savedAt.c_str(), chosen.c_str()) != 0) {
        op_.Message("Cannot move " + savedAt + " to " + chosen + ": " + ErrorText(errno) +
                        ". The file stays where it is.",
                    "ERROR", true);
    }
}

void BinaryTransfer::OnPeerAbort() {
    flags_.receiving = false;
    flags_.sendingData = false;
    flags_.awaitingReply = false;
    sending_ = false;
    reportDue_ = false;
    filesRemaining_ = 0;
    panel_.visible = false;
    Changed();
    CloseFiles();
    RemoveOwnTemporary();
    station_.SetDispatchPaused(false);
}

void BinaryTransfer::AbortClick() {
    if (flags_.receiving || flags_.sendingData || flags_.awaitingReply) {
        flags_.receiving = false;
        flags_.sendingData = false;
        flags_.awaitingReply = false;
        sending_ = false;
        reportDue_ = false;
        filesRemaining_ = 0;
        SendSequence(kXferAbort);
        panel_.visible = false;
        Changed();
        CloseFiles();
        // The receiver's partial file stays for a later transfer to resume.
        RemoveOwnTemporary();
    } else {
        panel_.visible = false;
        Changed();
    }
    station_.SetDispatchPaused(false);
    op_.FocusTransmitPane();
    station_.SendCommand(kCmdSetup59);
}

void BinaryTransfer::CloseFiles() {
    if (in_ != nullptr) {
        std::fclose(in_);
        in_ = nullptr;
    }
    if (out_ != nullptr) {
        std::fclose(out_);
        out_ = nullptr;
    }
    flags_.receiving = false;
    flags_.sendingData = false;
}

// ---------------------------------------------------------------- panel

void BinaryTransfer::StartClock() {
    startSeconds_ = station_.NowSeconds();
    lastTputSeconds_ = startSeconds_;
    lastTputCount_ = 0;
    throughput_ = 0;
    panel_.time = ElapsedText(0);
    panel_.tput = "0";
}

void BinaryTransfer::ShowCounts(std::int64_t count) {
    const std::int64_t shown =
        transferSize_ <= 0
            ? count
            : static_cast<std::int64_t>(std::floor(static_cast<float>(count) /
                                                   static_cast<float>(transferSize_) *
                                                   static_cast<float>(fileSize_)));
    panel_.bytes = std::to_string(shown);
    const std::int64_t now = station_.NowSeconds();
    panel_.time = ElapsedText(now - startSeconds_);
    const std::int64_t dt = now - lastTputSeconds_;
    if (dt != 0) {
        const float rate = (static_cast<float>(count) - lastTputCount_) / static_cast<float>(dt);
        const std::int64_t factor = transferSize_ >= 1 ? fileSize_ / transferSize_ : fileSize_;
        throughput_ = static_cast<std::int64_t>(std::fabs(
            std::trunc((7.0f * static_cast<float>(throughput_) + static_cast<float>(factor) * rate) /
                       8.0f)));
        lastTputCount_ = static_cast<float>(count);
        lastTputSeconds_ = now;
        panel_.tput = std::to_string(throughput_);
    }
    panel_.gaugePos = count;
}

void BinaryTransfer::Refresh() {
    if (writeFailed_ && flags_.receiving) {
        FailReceiveNow("Cannot write " + partialPath_ + ": " + ErrorText(writeErrno_));
        return;
    }
    if (flags_.receiving) {
        ShowCounts(receivedCount_);
        Changed();
        return;
    }
    if (sending_ && sentDisplayCount_ > 0) {
        ShowCounts(sentDisplayCount_);
        if (sentDisplayCount_ >= transferSize_) {
            panel_.bytes = std::to_string(fileSize_);
            panel_.gaugePos = transferSize_;
            sentDisplayCount_ = 0;
        }
        Changed();
    }
}

} // namespace tarvis
