#pragma once
// Two stations' transfer protocols joined by a wire that carries the air bytes between them
// and dispatches what arrives as the receive dispatcher does: status items to the decoder,
// echoes to the display, SOH to the control handler, file bytes straight to the file.
#include "transfer/BinaryTransfer.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tarvis::test {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const fs::path& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
}

// The modem's side of the host's literal escape.
inline std::string HostUnescaped(const std::string& host) {
    std::string air;
    for (std::size_t i = 0; i < host.size(); ++i) {
        if (static_cast<unsigned char>(host[i]) == 0x81 && i + 1 < host.size()) {
            ++i;
        }
        air.push_back(host[i]);
    }
    return air;
}

class FakeTransferStation final : public TransferStation {
public:
    std::deque<std::uint32_t> items; // the receive ring
    std::string hostBytes;            // everything handed to the modem, as framed for it
    std::string air;                  // not yet carried to the peer
    std::vector<std::uint8_t> commands;
    std::vector<std::uint8_t> statuses;
    std::string echoes;
    bool echo = false;
    bool paused = false;
    std::int64_t now = 1000;
    int inFlightResets = 0;

    void SendText(const TransferBytes& bytes) override {
        hostBytes += bytes;
        air += HostUnescaped(bytes);
    }
    void SendCommand(std::uint8_t code) override {
        commands.push_back(code);
        // A command in the byte stream, where the tests can see its order.
        hostBytes += std::string{static_cast<char>(0x80), static_cast<char>(code)};
    }
    std::optional<std::uint32_t> NextItem(int) override {
        if (items.empty()) {
            return std::nullopt;
        }
        const std::uint32_t item = items.front();
        items.pop_front();
        return item;
    }
    void StatusInline(std::uint8_t code) override {
        statuses.push_back(code);
        if (code == 0x31) {
            echo = true;
        } else if (code == 0x30) {
            echo = false;
        }
    }
    bool Echoing() override { return echo; }
    void ShowEcho(std::uint8_t c) override { echoes.push_back(static_cast<char>(c)); }
    void SetDispatchPaused(bool p) override { paused = p; }
    void WaitForEmptyQueue() override {}
    void ResetBytesInFlight() override { ++inFlightResets; }
    std::int64_t NowSeconds() override { return now; }
    std::string LogDate() override { return "11/12/2026"; }
    std::string LogTime() override { return "17:00:00"; }

    void Receive(const std::string& bytes) {
        for (const char c : bytes) {
            items.push_back(static_cast<unsigned char>(c));
        }
    }
};

class FakeTransferOperator final : public TransferOperator {
public:
    struct Box {
        std::string text, caption;
        bool stop;
    };
    std::vector<Box> boxes;
    std::vector<TransferPanel> panels;
    // The Save dialog's answer: empty cancels; "=" confirms the proposed path.
    std::string saveAnswer;
    std::vector<std::string> saveProposals;
    int focusCalls = 0;

    void PanelChanged(const TransferPanel& panel) override { panels.push_back(panel); }
    void Message(const std::string& text, const std::string& caption, bool stop) override {
        boxes.push_back({text, caption, stop});
    }
    std::string AskSavePath(const std::string& folder, const std::string& name) override {
        saveProposals.push_back(folder + name);
        return saveAnswer == "=" ? folder + name : saveAnswer;
    }
    void FocusTransmitPane() override { ++focusCalls; }
};

struct TransferSide {
    explicit TransferSide(const fs::path& root) : home(root) {
        fs::create_directories(home / "In");
        fs::create_directories(home / "tmp");
        xfer = std::make_unique<BinaryTransfer>(
            station, op, TransferFlags{awaitingReply, sendingData, receiving}, home.string(),
            (home / "In").string(), (home / "tmp").string());
    }
    fs::path home;
    FakeTransferStation station;
    FakeTransferOperator op;
    bool awaitingReply = false;
    bool sendingData = false;
    std::atomic<bool> receiving{false};
    std::string shown; // text that reached the receive display
    std::unique_ptr<BinaryTransfer> xfer;

    // The dispatcher over what is in the ring.
    void Dispatch() {
        while (!station.items.empty()) {
            const std::uint32_t item = station.items.front();
            station.items.pop_front();
            const auto b = static_cast<std::uint8_t>(item & 0xFF);
            if (item >= 0x8000) {
                station.StatusInline(b);
            } else if (station.echo) {
                station.ShowEcho(b);
            } else if (b == 0x01) {
                xfer->Control();
            } else if (receiving) {
                if (b != 0x00) {
                    xfer->WriteReceivedByte(b);
                }
            } else {
                shown.push_back(static_cast<char>(b));
            }
        }
    }
    // The pump: up to `n` data steps.
    bool Pump(int n) {
        bool moved = false;
        for (int i = 0; i < n && sendingData && !awaitingReply && !xfer->DataFinished(); ++i) {
            station.SendText(xfer->DataStep());
            moved = true;
        }
        return moved;
    }
    std::string Log() const { return ReadAll(home / "binxfer.log"); }
    std::vector<std::string> TemporaryFiles() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(home / "tmp")) {
            names.push_back(e.path().filename().string());
        }
        return names;
    }
};

// Two stations A and B under one temporary folder.
class TransferPairTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvis-xfer-XXXXXX";
        root = ::mkdtemp(pattern);
        a = std::make_unique<TransferSide>(root / "A");
        b = std::make_unique<TransferSide>(root / "B");
    }
    void TearDown() override {
        a.reset();
        b.reset();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // Carries the air both ways and runs both pumps until nothing moves; `stopAfter` bytes of
    // data (when set) end the run early, as a link cut in the middle.
    void Run(std::int64_t stopAfter = -1) {
        for (int round = 0; round < 1000000; ++round) {
            bool moved = false;
            for (auto [from, to] : {std::pair{a.get(), b.get()}, std::pair{b.get(), a.get()}}) {
                if (!from->station.air.empty()) {
                    to->station.Receive(from->station.air);
                    from->station.air.clear();
                    to->Dispatch();
                    moved = true;
                }
            }
            if (stopAfter >= 0 && b->xfer->ReceivedCount() >= stopAfter &&
                b->receiving) {
                return;
            }
            moved |= a->Pump(stopAfter >= 0 ? 1 : 256);
            if (!moved) {
                return;
            }
        }
    }
    fs::path File(const std::string& name, const std::string& data) {
        const fs::path p = root / name;
        WriteAll(p, data);
        return p;
    }

    fs::path root;
    std::unique_ptr<TransferSide> a;
    std::unique_ptr<TransferSide> b;
};

} // namespace tarvis::test
