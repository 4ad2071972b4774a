#include "engine/thread.h"

#include <cstring>
#include <exception>
#include <string_view>
#include <system_error>

#include "engine/appstate.h"
#include "engine/scomm.h"
#include "platform/clock.h"
#include "platform/trace.h"

std::u16string g_strTerminal;
std::mutex g_strTerminalLock;

namespace {

constexpr uint32_t kMaxSentence = CGPSThread::kSentenceBufferSize - 1;
constexpr uint32_t kBinHeader = 8;     // "$BIN", id, spare, length word
constexpr uint32_t kBinOverhead = 12;  // header, sum, CR LF
constexpr uint32_t kBinMinData = 8;
constexpr uint32_t kBinMaxData = kMaxSentence - kBinOverhead;

uint32_t BinDataLength(const char* frame) {
    return static_cast<uint8_t>(frame[6]) | (static_cast<uint8_t>(frame[7]) << 8);
}

ReaderSinks& IgnoringSinks() {
    static ReaderSinks sinks;
    return sinks;
}

}  // namespace

bool ReaderSinks::BinaryFrame(const char* frame, size_t len) {
    return IsCompleteBinFrame(frame, len);
}
void ReaderSinks::LogFrame(const char*, size_t, uint32_t) {}
bool ReaderSinks::Sentence(const char*, size_t) {
    return false;
}
void ReaderSinks::PassDone() {}

bool IsCompleteBinFrame(const char* frame, size_t len) {
    if (len < kBinHeader + kBinMinData + 4 || std::memcmp(frame, "$BIN", 4) != 0) return false;
    uint32_t n = BinDataLength(frame);
    if (n < kBinMinData || n > kBinMaxData || len != n + kBinOverhead) return false;
    uint32_t sum = 0;
    for (uint32_t i = 0; i < n; ++i) sum += static_cast<uint8_t>(frame[kBinHeader + i]);
    uint32_t stored = static_cast<uint8_t>(frame[kBinHeader + n]) |
                      (static_cast<uint8_t>(frame[kBinHeader + n + 1]) << 8);
    return (sum & 0xFFFF) == stored && frame[n + 10] == '\r' && frame[n + 11] == '\n';
}

std::u16string TerminalText() {
    std::lock_guard<std::mutex> lock(g_strTerminalLock);
    return g_strTerminal;
}

void ClearTerminalText() {
    std::lock_guard<std::mutex> lock(g_strTerminalLock);
    g_strTerminal.clear();
}

CGPSThread::CGPSThread(SComm* comm, ReaderSinks* sinks)
    : comm_(comm ? comm : &g_Comm), sinks_(sinks ? sinks : &IgnoringSinks()) {
    std::memset(rxBuffer_, 0, sizeof rxBuffer_);
    std::memset(sentence_, 0, sizeof sentence_);
}

CGPSThread::~CGPSThread() {
    bStopThread.store(1);
    if (thread_.joinable()) thread_.join();
}

void CGPSThread::SetSinks(ReaderSinks* sinks) {
    if (!thread_.joinable()) sinks_ = sinks ? sinks : &IgnoringSinks();
}

void CGPSThread::SetComm(SComm* comm) {
    if (!thread_.joinable()) comm_ = comm ? comm : &g_Comm;
}

bool CGPSThread::Start() {
    if (thread_.joinable()) return true;
    bStopThread.store(0);
    hThreadDone.Reset();
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        platform::Trace("Could not create GPS thread!\n");
        return false;
    }
    return true;
}

bool CGPSThread::Stop(uint32_t timeoutMs) {
    bStopThread.store(1);
    if (!thread_.joinable()) return true;
    if (!hThreadDone.Wait(timeoutMs)) return false;
    thread_.join();
    return true;
}

int CGPSThread::Run() {
    while (bStopThread.load() == 0) {
        try {
            if (App().bPortOpen.load() == 1) {
                ReadAndFrame();
                sinks_->PassDone();
            }
        } catch (const std::exception& e) {
            platform::Trace("Error on Serial Communication: %s\n", e.what());
        } catch (...) {
            platform::Trace("Error on Serial Communication: unknown exception\n");
        }
        // Also after a pass that failed, so a persistent fault cannot spin the processor.
        platform::Sleep(kPassPauseMs);
    }
    hThreadDone.Set();
    TRACE_ASSERT(hThreadDone.IsSet());
    platform::Trace("GPS Thread is terminated\n");
    return 0;
}

bool CGPSThread::ReadAndFrame() {
    if (App().bDemoMode.load() != 0) return false;
    std::memset(rxBuffer_, 0, sizeof rxBuffer_);
    uint32_t nRead = 0;
    if (comm_->ReadBytes(rxBuffer_, kRxBufferSize, &nRead, nullptr, 0.0) != COMM_OK) return false;
    FrameBytes(rxBuffer_, nRead);
    return true;
}

void CGPSThread::FrameBytes(const char* data, size_t n) {
    AppShared& app = App();
    // The radio-modem probe waits for "OK"; like the original, a NUL ends the text looked at.
    if (std::string_view(data, strnlen(data, n)).find("OK") != std::string_view::npos) {
        app.bModemOK.store(1);
    }
    {
        std::lock_guard<std::mutex> lock(g_strTerminalLock);
        if (g_strTerminal.size() > kTerminalMax) {
            g_strTerminal.erase(0, g_strTerminal.size() - kTerminalMax);
        }
        size_t old = g_strTerminal.size();
        g_strTerminal.resize(old + n);
        for (size_t i = 0; i < n; ++i) {
            g_strTerminal[old + i] = static_cast<char16_t>(static_cast<uint8_t>(data[i]));
        }
    }
    if (n > 0) app.bBytesReceived.store(1);
    for (size_t i = 0; i < n; ++i) FrameByte(data[i]);
}

void CGPSThread::FrameByte(char c) {
    if (!inSentence_) {
        if (c != '$') return;
        sentenceIndex_ = 0;
        inSentence_ = 1;
        std::memset(sentence_, 0, sizeof sentence_);
    }
    if (sentenceIndex_ >= kMaxSentence) {
        inSentence_ = 0;
        return;
    }
    sentence_[sentenceIndex_++] = c;

    const bool binary = sentenceIndex_ >= 4 && std::memcmp(sentence_, "$BIN", 4) == 0;
    uint32_t dataLength = 0;
    if (binary && sentenceIndex_ >= kBinHeader) {
        dataLength = BinDataLength(sentence_);
        // A length no frame can have: give up at once rather than swallow what follows.
        if (dataLength < kBinMinData || dataLength > kBinMaxData) {
            inSentence_ = 0;
            return;
        }
    }

    if (sentenceIndex_ >= 2 && sentence_[sentenceIndex_ - 2] == '\r' &&
        sentence_[sentenceIndex_ - 1] == '\n') {
        sentence_[sentenceIndex_] = '\0';
        AppShared& app = App();
        app.bSentenceReceived.store(1);
        app.bReceiverFound.store(1);
        if (!binary) {
            FinishFrame(false);
            return;
        }
        if (sinks_->BinaryFrame(sentence_, sentenceIndex_)) {
            FinishFrame(true);
            return;
        }
    }
    // The frame's full length is reached and it was not accepted: it is corrupt, and the
    // next byte starts afresh.
    if (binary && sentenceIndex_ >= kBinHeader && sentenceIndex_ >= dataLength + kBinOverhead) {
        inSentence_ = 0;
    }
}

void CGPSThread::FinishFrame(bool binary) {
    inSentence_ = 0;
    const uint32_t flags = App().wLogFlags.load();
    sinks_->LogFrame(sentence_, sentenceIndex_, flags);
    if (!binary) sinks_->Sentence(sentence_, sentenceIndex_);
}
