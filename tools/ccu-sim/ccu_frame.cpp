#include "ccu_frame.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace ccusim {

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

const char Digits[] = "0123456789ABCDEF";

uint16_t textChecksum(const std::string &text)
{
    unsigned sum = 0;
    for (unsigned char c : text)
        sum += c;
    return uint16_t((0x10000u - (sum & 0xFFFFu)) & 0xFFFFu);
}

uint16_t lengthField(unsigned lenid)
{
    lenid &= 0xFFFu;
    const unsigned s = (lenid & 0xF) + ((lenid >> 4) & 0xF) + ((lenid >> 8) & 0xF);
    const unsigned lchk = (16 - (s % 16)) % 16;
    return uint16_t((lchk << 12) | lenid);
}

} // namespace

std::string hex(const Bytes &b)
{
    std::string out;
    out.reserve(b.size() * 2);
    for (uint8_t v : b) {
        out += Digits[v >> 4];
        out += Digits[v & 0xF];
    }
    return out;
}

void putU16(Bytes &b, uint16_t v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v & 0xFF));
}

void putFloat(Bytes &b, float v)
{
    uint32_t raw;
    std::memcpy(&raw, &v, sizeof raw);
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(raw >> (8 * i)));
}

Request parseRequest(const std::string &frame)
{
    Request r;
    auto fail = [&r](const std::string &why, uint8_t rtn) {
        r.problem = why;
        r.rtn = rtn;
        return r;
    };
    // SOI + 12 header digits + 4 checksum digits.
    if (frame.size() < 17 || frame[0] != '~')
        return fail("too short or no SOI", RtnFormat);
    const std::string body = frame.substr(1, frame.size() - 5);
    const std::string sum = frame.substr(frame.size() - 4);
    for (char c : body + sum) {
        if (digitValue(c) < 0)
            return fail("not hexadecimal", RtnFormat);
        if (std::islower(static_cast<unsigned char>(c)))
            r.lowerCase = true;
    }
    if (body.size() % 2 != 0)
        return fail("odd number of digits", RtnFormat);
    Bytes bytes;
    for (size_t i = 0; i < body.size(); i += 2)
        bytes.push_back(uint8_t(digitValue(body[i]) * 16 + digitValue(body[i + 1])));
    r.ver = bytes[0];
    r.adr = bytes[1];
    r.cid1 = bytes[2];
    r.cid2 = bytes[3];
    const unsigned length = unsigned(bytes[4]) << 8 | bytes[5];
    const unsigned lenid = length & 0xFFF;

    unsigned wanted = 0;
    for (char c : sum)
        wanted = wanted * 16 + unsigned(digitValue(c));
    if (r.adr != 0x01 || r.cid1 != 0x50) {
        r.answer = false;
        return fail("not addressed to this CCU", RtnOk);
    }
    if (r.ver != 0x21)
        return fail("wrong VER", RtnVersion);
    if (textChecksum(body) != wanted) {
        char why[64];
        std::snprintf(why, sizeof why, "checksum %04X, expected %04X", wanted, textChecksum(body));
        return fail(why, RtnChecksum);
    }
    if (lengthField(lenid) != length)
        return fail("LCHKSUM wrong", RtnLengthChecksum);
    if (lenid != body.size() - 12)
        return fail("LENID does not match INFO", RtnFormat);
    if (lenid % 2 != 0)
        return fail("odd LENID", RtnFormat);
    r.info.assign(bytes.begin() + 6, bytes.end());
    return r;
}

std::string buildResponse(uint8_t rtn, const Bytes &info)
{
    Bytes head = {0x21, 0x01, 0x50, rtn};
    putU16(head, lengthField(unsigned(info.size() * 2)));
    const std::string body = hex(head) + hex(info);
    const uint16_t sum = textChecksum(body);
    std::string out = "~" + body;
    for (int shift = 12; shift >= 0; shift -= 4)
        out += Digits[(sum >> shift) & 0xF];
    out += '\r';
    return out;
}

} // namespace ccusim
