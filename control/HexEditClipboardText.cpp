// HexEditClipboardText.cpp - CHexEditClipboardText: bytes to the hex text of
// a copy and the hex text of a paste back to bytes.
#include "HexEditClipboard.h"

namespace {

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',';
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
    bytes.clear();
    bytes.reserve(nLength / 2);
    size_t i = 0;
    while (i < nLength) {
        const char c = pszText[i];
        if (IsSeparator(c)) {
            i++;
            continue;
        }
        // "0x" only where a pair begins, and only before one.
        if (c == '0' && i + 1 < nLength && (pszText[i + 1] == 'x' || pszText[i + 1] == 'X'))
            i += 2;
        if (i + 1 >= nLength) {   // an odd digit, or "0x" with nothing after
            bytes.clear();
            return false;
        }
        const int nHigh = DigitValue(pszText[i]), nLow = DigitValue(pszText[i + 1]);
        if (nHigh < 0 || nLow < 0) {
            bytes.clear();
            return false;
        }
        bytes.push_back(static_cast<BYTE>(nHigh << 4 | nLow));
        i += 2;
    }
    return true;
}
