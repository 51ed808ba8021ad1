// HexEditText.cpp - the texts of the items CHexEditCtrl draws: row addresses,
// hexadecimal and character cells, the bits of the byte at the caret and the
// status text of the header line. Pure computations on the control's state.
#include "HexEditCtrl.h"
#include <stdio.h>

int CHexEditCtrl::GetRowCount() const
{
    int n = m_data.GetSize();
    return n / m_nBytesPerRow + (n % m_nBytesPerRow != 0 ? 1 : 0);
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

CString CHexEditCtrl::GetHexText(int nRow, int nCol, int* pIndex)
{
    int index = nRow * m_nBytesPerRow * (m_nByteDigits / 2) + nCol;
    CString text;
    if (index < m_data.GetSize())
        text.Format("%0.2X ", static_cast<unsigned>(m_data[index]));
    *pIndex = index;
    return text;
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
    unsigned value = 0;
    sscanf(strHex, "%x", &value);
    CString text;
    // Printable in the "C" locale, whatever the user's code page.
    if (value >= 0x20 && value <= 0x7E)
        text.Format("%c", static_cast<int>(value));
    else
        text = ".";
    return text;
}
