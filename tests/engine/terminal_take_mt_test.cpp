// The terminal takes the received text while the reader appends to it: every byte reaches
// exactly one take, in order, and a cut by the reader is reported.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "engine/appstate.h"
#include "engine/thread.h"

namespace {

TEST(TerminalTake, NothingLostOrDoubledWhileTheReaderAppends) {
    ClearTerminalText();
    CGPSThread reader;
    constexpr int kChunks = 4000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < kChunks; ++i) {
            const std::string chunk = "$N," + std::to_string(i) + "\r\n";
            reader.FrameBytes(chunk.data(), chunk.size());
            if (i % 64 == 0) std::this_thread::yield();
        }
        done = true;
    });
    std::u16string seen;
    bool anyCut = false;
    while (true) {
        const bool last = done.load();
        bool cut = false;
        seen += TakeTerminalText(&cut);
        anyCut = anyCut || cut;
        if (last) break;
    }
    writer.join();
    std::u16string expected;
    for (int i = 0; i < kChunks; ++i) {
        for (const char c : "$N," + std::to_string(i) + "\r\n") expected += char16_t(c);
    }
    if (anyCut) {
        // The taker fell behind by more than the reader keeps: the end is still whole.
        ASSERT_LE(seen.size(), expected.size());
        EXPECT_EQ(expected.substr(expected.size() - 1000), seen.substr(seen.size() - 1000));
    } else {
        EXPECT_EQ(seen, expected);
    }
}

TEST(TerminalTake, ReaderCutIsReportedOnce) {
    ClearTerminalText();
    CGPSThread reader;
    const std::string block(3000, 'x');
    reader.FrameBytes(block.data(), block.size());
    reader.FrameBytes(block.data(), block.size());  // 6000 waiting, no cut yet
    reader.FrameBytes("$A\r\n", 4);                 // cut to 4096 before this pass
    bool cut = false;
    const std::u16string taken = TakeTerminalText(&cut);
    EXPECT_TRUE(cut);
    EXPECT_EQ(taken.size(), CGPSThread::kTerminalMax + 4);
    EXPECT_TRUE(TakeTerminalText(&cut).empty());
    EXPECT_FALSE(cut);
}

}  // namespace
