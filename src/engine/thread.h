#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/event.h"

class SComm;

// What the reader thread hands on. One object receives everything, on the reader thread,
// in this order:
//   for every frame that ends in CR LF while it is collected:
//     1. BinaryFrame(frame, len) when the frame begins "$BIN" (len counts CR LF). Returns
//        true when the frame is complete and valid; false keeps the thread collecting, so a
//        CR LF inside the binary payload does not cut the frame.
//   for every finished frame (a text sentence, or a binary frame BinaryFrame accepted):
//     2. LogFrame(frame, len, wLogFlags) with the log switches read for this frame. The
//        loggers run NMEA, point sentences, raw data, binary, each by its eLogFlag bit; a
//        cleared bit closes that log's open file.
//     3. Sentence(sentence, len) for a text sentence only; sentence is NUL-terminated.
//   after every read pass while the port is open (also a pass that read nothing or failed):
//     4. PassDone(): the per-second history updates.
// The default implementation ignores everything, except that BinaryFrame accepts a frame
// whose length and sum agree.
class ReaderSinks {
public:
    virtual ~ReaderSinks() = default;
    virtual bool BinaryFrame(const char* frame, size_t len);
    virtual void LogFrame(const char* frame, size_t len, uint32_t logFlags);
    virtual bool Sentence(const char* sentence, size_t len);
    virtual void PassDone();
};

// True when frame[0..len) is a whole "$BIN" frame: length word N in 8..407, len == N + 12,
// the data sum matches and CR LF ends it.
bool IsCompleteBinFrame(const char* frame, size_t len);

// The shared terminal text: every received byte as one character (0x80..0xFF as
// U+0080..U+00FF). Guarded by its own lock; the terminal screen reads and clears it.
extern std::u16string g_strTerminal;
extern std::mutex g_strTerminalLock;
std::u16string TerminalText();  // a copy taken under the lock
void ClearTerminalText();
// Takes the text and empties it in one step, so nothing received in between is lost. *cut
// (when given) tells whether the reader dropped text for want of room since the last take.
std::u16string TakeTerminalText(bool* cut = nullptr);

// The reader thread: every 50 ms, while the port is open, reads what is queued, frames it
// and hands the frames on.
class CGPSThread {
public:
    static constexpr size_t kRxBufferSize = 40960;
    static constexpr size_t kSentenceBufferSize = 420;  // 419 bytes and a NUL
    static constexpr size_t kTerminalMax = 4096;
    static constexpr uint32_t kPassPauseMs = 50;

    // comm: the port to read (null: g_Comm). sinks: where frames go (null: ignore them).
    explicit CGPSThread(SComm* comm = nullptr, ReaderSinks* sinks = nullptr);
    virtual ~CGPSThread();
    CGPSThread(const CGPSThread&) = delete;
    CGPSThread& operator=(const CGPSThread&) = delete;

    // Only while the thread is not running.
    void SetSinks(ReaderSinks* sinks);
    ReaderSinks* GetSinks() const { return sinks_; }
    void SetComm(SComm* comm);

    // Starts the thread; false (with the trace "Could not create GPS thread!\n") on failure.
    bool Start();
    // Sets bStopThread and waits up to timeoutMs for the loop to end; true when it ended and
    // the thread was joined.
    bool Stop(uint32_t timeoutMs = 5000);
    bool IsRunning() const { return thread_.joinable(); }

    // The thread body; returns 0 once bStopThread ends it.
    int Run();
    // One read-and-frame pass; false in demo mode or when the read failed.
    bool ReadAndFrame();
    // Frames bytes as one pass would after reading them (also used by ReadAndFrame).
    void FrameBytes(const char* data, size_t n);

    std::atomic<int> bStopThread{0};
    platform::Event hThreadDone{false};

private:
    void StartFrame();
    void FrameByte(char c);
    // Takes bytes of a frame whose kind is known, up to and including the next LF; returns
    // how many it took.
    size_t FrameRun(const char* p, size_t avail);
    // CR LF ends the collected bytes; true when the frame is finished.
    bool LineEnd(bool binary);
    void FinishFrame(bool binary);
    // Adds the frames and replies framed since the last call to the application's counters.
    void PublishHeard();

    SComm* comm_;
    ReaderSinks* sinks_;
    std::thread thread_;

    char rxBuffer_[kRxBufferSize];
    char sentence_[kSentenceBufferSize];
    uint32_t sentenceIndex_ = 0;
    int inSentence_ = 0;
    uint32_t framesHeard_ = 0;
    uint32_t repliesHeard_ = 0;
};
