// HexEditFind.h - the search of CHexEditCtrl::FindBytes (HexEditFind.cpp):
// a pattern looked for in a range of bytes in place, forward or backward,
// with or without ASCII letters matching either case. It knows no window;
// the control runs it piece by piece under its progress window.
#pragma once

#include <afxwin.h>
#include <cstddef>
#include <vector>

class CHexEditSearch {
public:
    // The pattern is copied; without bMatchCase, ASCII letters of it and of
    // the data match either case, every other byte only itself.
    CHexEditSearch(const BYTE* pPattern, size_t nLength, bool bMatchCase);

    size_t GetLength() const { return m_pattern.size(); }

    // The first (FindForward) or last (FindBackward) offset n in nFirst ..
    // nLast, both inclusive, where the pattern occurs at pData + n; -1 when
    // none does. Every byte of pData up to nLast + GetLength() - 1 is read,
    // none beyond, and none is written.
    LONGLONG FindForward(const BYTE* pData, size_t nFirst, size_t nLast) const;
    LONGLONG FindBackward(const BYTE* pData, size_t nFirst, size_t nLast) const;

    // Whether the pattern occurs at p (its GetLength() bytes are read).
    bool MatchesAt(const BYTE* p) const;

    // The search's anchors: the pattern's first and last byte, which a
    // candidate must have before the rest is compared. A data byte b is the
    // anchor when (b | fold) == value: fold is 0x20 for a letter whose case
    // does not matter (value then in lower case), else 0.
    struct Anchor {
        BYTE value, fold;
    };
    Anchor GetFirst() const { return m_first; }
    Anchor GetLast() const { return m_last; }

private:
    static BYTE Fold(BYTE b) { return (b >= 'A' && b <= 'Z') ? static_cast<BYTE>(b | 0x20) : b; }
    bool IsAnchorAt(const BYTE* p) const;

    std::vector<BYTE> m_pattern;   // folded when !m_bMatchCase
    bool m_bMatchCase;
    Anchor m_first, m_last;
};
