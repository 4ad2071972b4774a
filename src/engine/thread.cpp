#include "engine/thread.h"

#include <algorithm>
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

bool g_bTerminalCut = false;  // guarded by g_strTerminalLock

constexpr uint32_t kMaxSentence = CGPSThread::kSentenceBufferSize - 1;
constexpr uint32_t kBinHeader = 8;     // "$BIN", id, spare, length word
constexpr uint32_t kBinOverhead = 12;  // header, sum, CR LF
constexpr uint32_t kBinMinData = 8;
constexpr uint32_t kBinMaxData = kMaxSentence - kBinOverhead;

uint32_t BinDataLength(const char* frame) {
    return static_cast<uint8_t>(frame[6]) | (static_cast<uint8_t>(frame[7]) << 8);
}

// Every byte as one character, 0x80..0xFF as U+0080..U+00FF.
void AppendLatin1(std::u16string& text, const char* data, size_t n) {
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    constexpr size_t kBlock = 256;
    char16_t block[kBlock];
    while (n >= kBlock) {
        // A fixed count the compiler widens many bytes at a time.
        for (size_t i = 0; i < kBlock; ++i) block[i] = in[i];
        text.append(block, kBlock);
        in += kBlock;
        n -= kBlock;
    }
    for (size_t i = 0; i < n; ++i) block[i] = in[i];
    text.append(block, n);
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
    g_bTerminalCut = false;
}

std::u16string TakeTerminalText(bool* cut) {
    std::u16string taken;
    std::lock_guard<std::mutex> lock(g_strTerminalLock);
    taken.swap(g_strTerminal);
    if (cut) *cut = g_bTerminalCut;
    g_bTerminalCut = false;
    return taken;
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
            g_bTerminalCut = true;
        }
        AppendLatin1(g_strTerminal, data, n);
    }
    if (n > 0) app.bBytesReceived.store(1);

    size_t i = 0;
    while (i < n) {
        if (!inSentence_) {
            const void* start = std::memchr(data + i, '$', n - i);
            if (start == nullptr) break;
            i = static_cast<size_t>(static_cast<const char*>(start) - data);
            StartFrame();
        }
        // Bytes are taken in runs; the result is the same as byte by byte. Once the kind of
        // frame is known, a run goes up to the next line end.
        if (sentenceIndex_ >= 4 &&
            (sentenceIndex_ >= kBinHeader || std::memcmp(sentence_, "$BIN", 4) != 0)) {
            i += FrameRun(data + i, n - i);
            continue;
        }
        // Before that ("$BIN" and its length word), bytes without a line end are only stored.
        const size_t take =
            std::min<size_t>((sentenceIndex_ < 4 ? 4 : kBinHeader) - sentenceIndex_, n - i);
        if (std::memchr(data + i, '\n', take) != nullptr) {
            FrameByte(data[i++]);
            continue;
        }
        std::memcpy(sentence_ + sentenceIndex_, data + i, take);
        sentenceIndex_ += static_cast<uint32_t>(take);
        i += take;
        if (sentenceIndex_ == kBinHeader) {
            // A length no frame can have: give up at once rather than swallow what follows.
            const uint32_t dataLength = BinDataLength(sentence_);
            if (dataLength < kBinMinData || dataLength > kBinMaxData) inSentence_ = 0;
        }
    }
    PublishHeard();
}

void CGPSThread::PublishHeard() {
    // One shared add per read, not per frame: readers compare readings taken passes apart.
    AppShared& app = App();
    if (framesHeard_ != 0) app.uFramesHeard.fetch_add(framesHeard_, std::memory_order_relaxed);
    if (repliesHeard_ != 0) app.uRepliesHeard.fetch_add(repliesHeard_, std::memory_order_relaxed);
    framesHeard_ = 0;
    repliesHeard_ = 0;
}

void CGPSThread::StartFrame() {
    // Only what the last frame used can be non-zero.
    std::memset(sentence_, 0, std::min<size_t>(sentenceIndex_ + 1, sizeof sentence_));
    sentenceIndex_ = 0;
    inSentence_ = 1;
}

void CGPSThread::FrameByte(char c) {
    if (!inSentence_) {
        if (c != '$') return;
        StartFrame();
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
        if (LineEnd(binary)) return;
    }
    // The frame's full length is reached and it was not accepted: it is corrupt, and the
    // next byte starts afresh.
    if (binary && sentenceIndex_ >= kBinHeader && sentenceIndex_ >= dataLength + kBinOverhead) {
        inSentence_ = 0;
    }
}

size_t CGPSThread::FrameRun(const char* p, size_t avail) {
    // A text sentence, or a binary frame whose length word has been checked.
    const bool binary = std::memcmp(sentence_, "$BIN", 4) == 0;
    const uint32_t frameLength = binary ? BinDataLength(sentence_) + kBinOverhead : 0;
    size_t limit;
    if (binary) {
        limit = frameLength - sentenceIndex_;
    } else {
        limit = kMaxSentence - sentenceIndex_;
        if (limit == 0) {  // too long: the byte is dropped with the sentence
            inSentence_ = 0;
            return 1;
        }
    }
    const size_t take = std::min(limit, avail);
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', take));
    const size_t k = lf ? static_cast<size_t>(lf - p) + 1 : take;
    std::memcpy(sentence_ + sentenceIndex_, p, k);
    sentenceIndex_ += static_cast<uint32_t>(k);
    if (lf && sentence_[sentenceIndex_ - 2] == '\r' && LineEnd(binary)) return k;
    if (binary && sentenceIndex_ >= frameLength) inSentence_ = 0;
    return k;
}

bool CGPSThread::LineEnd(bool binary) {
    sentence_[sentenceIndex_] = '\0';
    AppShared& app = App();
    app.bSentenceReceived.store(1);
    app.bReceiverFound.store(1);
    if (!binary) {
        FinishFrame(false);
        return true;
    }
    if (sinks_->BinaryFrame(sentence_, sentenceIndex_)) {
        FinishFrame(true);
        return true;
    }
    return false;
}

void CGPSThread::FinishFrame(bool binary) {
    inSentence_ = 0;
    ++framesHeard_;
    // Command replies, and the beacon status the receiver sends when asked for it; not any
    // "$PKRV," line, which may be our own query echoed by the link.
    if (!binary && (sentence_[1] == '>' || std::strncmp(sentence_, "$PKRV,CS0,", 10) == 0 ||
                    std::strncmp(sentence_, "$PKRV,CS1,", 10) == 0))
        ++repliesHeard_;
    const uint32_t flags = App().wLogFlags.load();
    sinks_->LogFrame(sentence_, sentenceIndex_, flags);
    if (!binary) sinks_->Sentence(sentence_, sentenceIndex_);
}
