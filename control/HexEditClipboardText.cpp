// HexEditClipboardText.cpp - CHexEditClipboardText: bytes to the hex text of
// a copy and the hex text of a paste back to bytes.
#include "HexEditClipboard.h"
#include <algorithm>

namespace {

// What each character is to a paste: a digit's value, or one of these.
const signed char kSeparator = -1;
const signed char kOther = -2;
const signed char kEnd = -3;   // the terminating NUL

struct CharClasses {
    signed char value[256];
    CharClasses()
    {
        for (int c = 0; c < 256; c++)
            value[c] = kOther;
        for (int c = '0'; c <= '9'; c++)
            value[c] = static_cast<signed char>(c - '0');
        for (int c = 0; c < 6; c++)
            value['a' + c] = value['A' + c] = static_cast<signed char>(10 + c);
        for (const char* p = " \t\r\n,"; *p != '\0'; p++)
            value[static_cast<unsigned char>(*p)] = kSeparator;
        value[0] = kEnd;
    }
};

const CharClasses kClasses;

inline int ClassOf(char c)
{
    return kClasses.value[static_cast<unsigned char>(c)];
}

} // namespace

std::string CHexEditClipboardText::HexOfBytes(const BYTE* pBytes, size_t nCount)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    if (nCount == 0)
        return text;
    text.resize(3 * nCount - 1, ' ');
    for (size_t i = 0; i < nCount; i++) {
        text[3 * i] = kDigits[pBytes[i] >> 4];
        text[3 * i + 1] = kDigits[pBytes[i] & 0x0F];
    }
    return text;
}

bool CHexEditClipboardText::BytesOfHex(const char* pszText, size_t nLength, std::vector<BYTE>& bytes)
{
    // Written through a pointer into a buffer sized for pairs with a blank
    // between them, grown should the text have fewer blanks, and cut to what
    // was written at the end: a paste of many MiB costs little more than
    // reading its text once.
    bytes.resize(nLength / 3 + 1);
    BYTE* pOut = bytes.data();
    BYTE* pEnd = pOut + bytes.size();
    size_t i = 0;
    while (i < nLength) {
        // The common case first: runs of a pair and the blank after it.
        while (i + 2 < nLength && pOut != pEnd) {
            const int nPairHigh = ClassOf(pszText[i]), nPairLow = ClassOf(pszText[i + 1]);
            if ((nPairHigh | nPairLow) < 0 || ClassOf(pszText[i + 2]) != kSeparator)
                break;
            *pOut++ = static_cast<BYTE>(nPairHigh << 4 | nPairLow);
            i += 3;
        }
        if (i >= nLength)
            break;
        if (pOut == pEnd) {
            const size_t nWritten = bytes.size();
            bytes.resize(std::min(2 * nWritten, nLength / 2 + 1));
            pOut = bytes.data() + nWritten;
            pEnd = bytes.data() + bytes.size();
        }
        int nHigh = ClassOf(pszText[i]);
        int nLow = i + 1 < nLength ? ClassOf(pszText[i + 1]) : kOther;
        if (nHigh == kSeparator) {
            i++;
            continue;
        }
        if (nHigh == kEnd)
            break;
        // "0x" only where a pair begins, and only before one.
        if (nHigh == 0 && i + 1 < nLength && (pszText[i + 1] == 'x' || pszText[i + 1] == 'X')) {
            i += 2;
            nHigh = i < nLength ? ClassOf(pszText[i]) : kOther;
            nLow = i + 1 < nLength ? ClassOf(pszText[i + 1]) : kOther;
        }
        // An odd digit, "0x" with nothing after, or anything else.
        if (nHigh < 0 || nLow < 0) {
            bytes.clear();
            return false;
        }
        *pOut++ = static_cast<BYTE>(nHigh << 4 | nLow);
        i += 2;
    }
    bytes.resize(static_cast<size_t>(pOut - bytes.data()));
    return true;
}
