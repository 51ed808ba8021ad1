// HexEditClipboard.h - CHexEditClipboardText, the texts of CHexEditCtrl's
// clipboard forms without a window: bytes to hex text ("48 65 6C") and hex
// text back to bytes.
#pragma once

#include <afx.h>
#include <string>
#include <vector>

class CHexEditClipboardText {
public:
    // Two uppercase digits a byte, one blank between bytes.
    static std::string HexOfBytes(const BYTE* pBytes, size_t nCount);
    // Hexadecimal digit pairs, with blanks, tabs, line breaks, commas and a
    // "0x" before a pair allowed between them, up to a NUL or nLength
    // characters: FALSE (and no bytes) for anything else or an odd number of
    // digits.
    static bool BytesOfHex(const char* pszText, size_t nLength, std::vector<BYTE>& bytes);
};
