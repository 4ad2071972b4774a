#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace testsupport {
class ReceiverSimulator;
}

namespace benchsupport {

// What a receiver with 20 Hz output sends in one second, frame by frame: GGA, VTG, HDT and
// binary message 1 at 20 Hz; a GSV set, GST, RD1, binary messages 2 and 99 and one "$>"
// reply once a second. With raw data, binary message 96 once a second too. second numbers
// the times of week, so consecutive seconds differ.
std::vector<std::string> ReceiverSecond(unsigned second, bool rawData = false);

// A minute of that stream as a simulated receiver streams it to the whole program, 100 items a
// second: without the "$>" replies (AnswerQueries answers the queries), with rate of turn, beacon
// status, a sky that turns and a position that wanders by centimetres. withPosition false leaves
// out GGA and binary message 1.
std::vector<std::string> ReceiverItems(bool withPosition = true);

// The simulator answers the queries of every screen (JI says HEADING for a heading receiver;
// jdiff and japp are the differential source and the applications).
void AnswerQueries(testsupport::ReceiverSimulator& sim, bool heading, const char* jdiff = "WAAS",
                   const char* japp = "WAAS,LBAND");

// Seconds of that stream back to back.
std::string ReceiverStream(unsigned seconds, bool rawData = false);

// The number of frames (sentences and binary frames) in ReceiverStream(seconds).
size_t FrameCount(const std::string& stream);

}  // namespace benchsupport
