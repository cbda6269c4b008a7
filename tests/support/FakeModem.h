#pragma once
// The modem's side of the start-up exchange, in-process, for tests of the program against a
// fake port: it answers the firmware status query and the five identification queries.
#include "link/Commands.h"
#include "tests/support/FakeSerialPort.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

namespace tarvis::test {

class FakeModem {
public:
    explicit FakeModem(FakeSerialPort& port) : port_(port) {
        port_.SetWriteListener([this](const std::string& bytes) { Heard(bytes); });
    }

    // The answers, set before the link runs; a firmware status of none leaves 80 02 unanswered.
    std::optional<std::uint8_t> firmwareStatus = 0x0A;
    // Changes the firmware status while the link runs.
    void SetFirmwareStatus(std::optional<std::uint8_t> status) {
        std::lock_guard lock(mutex_);
        firmwareStatus = status;
    }
    std::uint8_t dsp[2] = {0x05, 0x03};
    std::uint8_t cpu[2] = {0x02, 0x01};
    std::uint8_t boot[2] = {0x01, 0x00};
    std::uint8_t product[2] = {0x00, 0x2F};
    std::uint8_t hardware[2] = {0x80, 0x04};
    // Identification queries that go unanswered (by code).
    std::vector<std::uint8_t> silentFor;
    // Answer bytes as text items instead of status items.
    bool answersAsText = false;

    // Every command heard, as its code, in order.
    std::vector<std::uint8_t> Heard() {
        std::lock_guard lock(mutex_);
        return codes_;
    }

private:
    void Heard(const std::string& bytes) {
        for (char ch : bytes) {
            Parse(static_cast<std::uint8_t>(ch));
        }
    }

    void Parse(std::uint8_t b) {
        // Commands arrive as 80 code, then parameters each after an 80.
        if (expectCode_) {
            expectCode_ = false;
            StartCommand(b);
            return;
        }
        if (b == 0x80 && remaining_ == 0 && !inText_) {
            expectCode_ = true;
            return;
        }
        if (b == 0x80) {
            afterParameterPrefix_ = true;
            return;
        }
        if (afterParameterPrefix_) {
            afterParameterPrefix_ = false;
            if (inText_ && b == 0x00) {
                inText_ = false;
            } else if (remaining_ > 0) {
                --remaining_;
            }
        }
    }

    void StartCommand(std::uint8_t code) {
        {
            std::lock_guard lock(mutex_);
            codes_.push_back(code);
        }
        const CommandInfo* info = FindCommand(code);
        remaining_ = 0;
        inText_ = false;
        if (info != nullptr) {
            switch (info->form) {
            case ParamForm::Byte:
                remaining_ = 1;
                break;
            case ParamForm::WordPair:
                remaining_ = 4;
                break;
            case ParamForm::Text:
            case ParamForm::AnswerBack:
                inText_ = true;
                break;
            case ParamForm::None:
                break;
            }
        }
        Answer(code);
    }

    void Answer(std::uint8_t code) {
        for (std::uint8_t silent : silentFor) {
            if (silent == code) {
                return;
            }
        }
        const std::uint8_t* pair = nullptr;
        switch (code) {
        case kCmdFirmwareStatus: {
            std::optional<std::uint8_t> status;
            {
                std::lock_guard lock(mutex_);
                status = firmwareStatus;
            }
            if (status) {
                Send(code, {*status});
            }
            return;
        }
        case kCmdQueryDspVersion:
            pair = dsp;
            break;
        case kCmdQueryCpuVersion:
            pair = cpu;
            break;
        case kCmdQueryBootVersion:
            pair = boot;
            break;
        case kCmdQueryProductId:
            pair = product;
            break;
        case kCmdQueryHardwareVersion:
            pair = hardware;
            break;
        default:
            return;
        }
        Send(code, {pair[0], pair[1]});
    }

    void Send(std::uint8_t code, std::vector<std::uint8_t> payload) {
        std::string out;
        auto put = [&](std::uint8_t b) {
            if (answersAsText) {
                out.push_back(static_cast<char>(0x81)); // literal: the byte as text
            } else {
                out.push_back(static_cast<char>(0x80));
            }
            out.push_back(static_cast<char>(b));
        };
        put(code);
        for (std::uint8_t b : payload) {
            put(b);
        }
        port_.Feed(out);
    }

    FakeSerialPort& port_;
    std::mutex mutex_;
    std::vector<std::uint8_t> codes_;
    bool expectCode_ = false;
    bool afterParameterPrefix_ = false;
    bool inText_ = false;
    int remaining_ = 0;
};

} // namespace tarvis::test
