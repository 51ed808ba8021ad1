// HexEditText.cpp - the texts of the items CHexEditCtrl draws: row addresses,
// hexadecimal and character cells, the bits of the byte at the caret and the
// status text of the header line. Pure computations on the control's state.
//
// The hex and character cells have one formatter, FormatRow, which the
// painter calls once a row; the one-cell texts are read from it.
#include "HexEditCtrl.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

int HexDigitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

} // namespace

int CHexEditCtrl::GetRowCount() const
{
    INT_PTR n = m_data.GetSize();
    return static_cast<int>(n / m_nBytesPerRow + (n % m_nBytesPerRow != 0 ? 1 : 0));
}

CString CHexEditCtrl::GetAddressText()
{
    CString text;
    switch (m_nAddrDigits) {
    case 2: text.Format("%0.2X", m_nRowAddr); break;
    case 4: text.Format("%0.4X", m_nRowAddr); break;
    case 8: text.Format("%0.8X", m_nRowAddr); break;
    default: break;
    }
    return text;
}

char CHexEditCtrl::CharOfByte(BYTE value)
{
    return (value >= 0x20 && value <= 0x7E) ? static_cast<char>(value) : '.';
}

void CHexEditCtrl::FormatRow(int nRow, RowText* pRow) const
{
    const int nCells = m_nBytesPerRow < kMaxRowCells ? m_nBytesPerRow : kMaxRowCells;
    // In 64 bits: a row far past the end must hold no byte rather than wrap
    // around to the start.
    const LONGLONG nFirst64 = static_cast<LONGLONG>(nRow) * m_nBytesPerRow * (m_nByteDigits / 2);
    const INT_PTR nSize = m_data.GetSize();
    int nPresent = nFirst64 < 0 || nFirst64 >= nSize ? 0 : static_cast<int>(nSize - nFirst64);
    if (nPresent > nCells)
        nPresent = nCells;
    const int nFirst = static_cast<int>(nFirst64);
    const BYTE* pData = m_data.GetData();

    pRow->nFirstIndex = nFirst;
    pRow->nCells = nCells;
    pRow->nPresent = nPresent;
    char* pHex = pRow->szHex;
    for (int c = 0; c < nPresent; c++) {
        BYTE b = pData[nFirst + c];
        *pHex++ = kHexDigits[b >> 4];
        *pHex++ = kHexDigits[b & 15];
        *pHex++ = ' ';
        pRow->szChars[c] = CharOfByte(b);
    }
    *pHex = '\0';
    // An empty cell reads as 0, which shows as ".".
    for (int c = nPresent; c < nCells; c++)
        pRow->szChars[c] = CharOfByte(0);
    pRow->szChars[nCells] = '\0';
}

CString CHexEditCtrl::GetHexText(int nRow, int nCol, int* pIndex)
{
    RowText row;
    FormatRow(nRow, &row);
    *pIndex = row.nFirstIndex + nCol;
    if (nCol < 0 || nCol >= row.nPresent)
        return CString();
    return CString(row.szHex + 3 * nCol, 3);
}

CString CHexEditCtrl::GetBitsText()
{
    CString text(" Bit Values: ");
    for (int bit = 7; bit >= 0; --bit) {
        text += (m_byteCur >> bit) & 1 ? '1' : '0';
        if (bit == 4)
            text += ' ';
    }
    return text;
}

CString CHexEditCtrl::GetStatusText()
{
    CString text;
    text.Format("Hex values: %0.2X %s", static_cast<unsigned>(m_byteCur), static_cast<LPCSTR>(GetBitsText()));
    return text;
}

CString CHexEditCtrl::GetCharText(const CString& strHex)
{
    // Read back from the cell's text, so an empty cell past the end reads 0.
    // Leading blanks are skipped; the digits end at the first other
    // character; a value beyond a byte is no character.
    LPCSTR p = strHex;
    while (*p == ' ')
        p++;
    unsigned value = 0;
    for (int nDigits = 0; HexDigitValue(*p) >= 0; p++, nDigits++) {
        if (nDigits == 8)
            return CString('.', 1);
        value = (value << 4) | static_cast<unsigned>(HexDigitValue(*p));
    }
    return CString(value <= 0xFF ? CharOfByte(static_cast<BYTE>(value)) : '.', 1);
}
