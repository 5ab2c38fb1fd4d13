#ifndef CCU_SIM_FRAME_H
#define CCU_SIM_FRAME_H

// The CCU's side of the framing: "~", hex text of VER ADR CID1 CID2/RTN
// LENGTH INFO, four checksum digits, carriage return.

#include <cstdint>
#include <string>
#include <vector>

namespace ccusim {

using Bytes = std::vector<uint8_t>;

// Return codes the simulated CCU answers with.
enum Rtn : uint8_t {
    RtnOk = 0x00,
    RtnVersion = 0x01,
    RtnChecksum = 0x02,
    RtnLengthChecksum = 0x03,
    RtnUnknownCommand = 0x04,
    RtnFormat = 0x05,
    RtnInvalidData = 0x06,
};

struct Request
{
    uint8_t ver = 0, adr = 0, cid1 = 0, cid2 = 0;
    Bytes info;
    // Empty when the frame is sound; otherwise what is wrong with it and
    // the RTN to answer (or none, when the frame is not for this CCU).
    std::string problem;
    uint8_t rtn = RtnOk;
    bool answer = true;
    bool lowerCase = false;
};

// Parses one frame (SOI to the character before the carriage return).
Request parseRequest(const std::string &frame);

// Builds a complete response frame, carriage return included.
std::string buildResponse(uint8_t rtn, const Bytes &info);

// Helpers the model uses to fill INFO.
void putU16(Bytes &b, uint16_t v);      // most significant byte first
void putFloat(Bytes &b, float v);       // IEEE-754, least significant byte first
std::string hex(const Bytes &b);

} // namespace ccusim

#endif
