// HexEditFind.cpp - CHexEditCtrl::FindBytes and the search it runs
// (CHexEditSearch, HexEditFind.h): the bytes are searched where they lie,
// never copied or written. A candidate must have the pattern's first byte
// at its start and its last byte at its end; with SSE2 sixteen candidates
// are tested at once by two compares, so that on data where the anchors are
// rare the search goes at the speed of reading the memory, and only the
// candidates left are compared in full.
//
// The control searches in pieces of a few MiB; one still running after half
// a second shows the progress window of long loads (HexEditProgress.cpp),
// whose Cancel ends it with nothing found. A host that goes meanwhile ends
// it too, and the control is not touched again.
#include "HexEditCtrl.h"
#include "HexEditFind.h"
#include "HexEditProgress.h"
#include <string.h>

#if defined(_M_X64) || defined(__x86_64__) || defined(__SSE2__) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QX_FIND_SSE2 1   // every processor the build runs on has SSE2
#include <emmintrin.h>
#define QX_FIND_SSE2_FN
#elif defined(__GNUC__) && defined(__i386__)
#define QX_FIND_SSE2 2   // built for any i686: SSE2 when the processor has it
#include <emmintrin.h>
#define QX_FIND_SSE2_FN __attribute__((target("sse2")))
#endif

#ifdef QX_FILE_TEST_HOOKS
#include "HexEditFileHooks.h"
#endif

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace {

// A test build slows each piece down through the hook the loads use.
void AfterSearchPiece(ULONGLONG nDone)
{
#ifdef QX_FILE_TEST_HOOKS
    if (HexEditFileHooks::pfnAfterPiece != nullptr)
        HexEditFileHooks::pfnAfterPiece(nDone);
#else
    (void)nDone;
#endif
}

#ifdef QX_FIND_SSE2
inline int LowestBit(unsigned n)
{
#if defined(_MSC_VER)
    unsigned long i;
    _BitScanForward(&i, n);
    return static_cast<int>(i);
#else
    return __builtin_ctz(n);
#endif
}

inline int HighestBit(unsigned n)
{
#if defined(_MSC_VER)
    unsigned long i;
    _BitScanReverse(&i, n);
    return static_cast<int>(i);
#else
    return 31 - __builtin_clz(n);
#endif
}

bool HasSse2()
{
#if QX_FIND_SSE2 == 2
    static const bool bHas = __builtin_cpu_supports("sse2");
    return bHas;
#else
    return true;
#endif
}

// The candidates among the 16 starts at p: bit i set when p[i] is the first
// anchor and p[i + nTail] the last.
struct AnchorTest {
    __m128i first, last, foldFirst, foldLast;
};

QX_FIND_SSE2_FN inline unsigned CandidatesAt(const AnchorTest& t, const BYTE* p, size_t nTail)
{
    __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), t.foldFirst);
    __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + nTail)), t.foldLast);
    __m128i eq = _mm_and_si128(_mm_cmpeq_epi8(a, t.first), _mm_cmpeq_epi8(b, t.last));
    return static_cast<unsigned>(_mm_movemask_epi8(eq));
}

QX_FIND_SSE2_FN AnchorTest AnchorTestOf(const CHexEditSearch& search)
{
    AnchorTest t;
    t.first = _mm_set1_epi8(static_cast<char>(search.GetFirst().value));
    t.last = _mm_set1_epi8(static_cast<char>(search.GetLast().value));
    t.foldFirst = _mm_set1_epi8(static_cast<char>(search.GetFirst().fold));
    t.foldLast = _mm_set1_epi8(static_cast<char>(search.GetLast().fold));
    return t;
}

// The starts from i on, 32 a turn while the last start read is at most
// nLast: the first hit (nFound), or where the caller goes on one by one.
QX_FIND_SSE2_FN size_t ForwardByBlocks(const CHexEditSearch& search, const BYTE* pData, size_t i, size_t nLast,
                                       LONGLONG& nFound)
{
    const size_t nTail = search.GetLength() - 1;
    const AnchorTest t = AnchorTestOf(search);
    for (; i + 31 <= nLast; i += 32) {
        unsigned mask = CandidatesAt(t, pData + i, nTail) | CandidatesAt(t, pData + i + 16, nTail) << 16;
        for (; mask != 0; mask &= mask - 1) {
            size_t n = i + LowestBit(mask);
            if (search.MatchesAt(pData + n)) {
                nFound = static_cast<LONGLONG>(n);
                return i;
            }
        }
    }
    return i;
}

// The same downwards: j is one past the highest start not yet tested.
QX_FIND_SSE2_FN size_t BackwardByBlocks(const CHexEditSearch& search, const BYTE* pData, size_t nFirst, size_t j,
                                        LONGLONG& nFound)
{
    const size_t nTail = search.GetLength() - 1;
    const AnchorTest t = AnchorTestOf(search);
    for (; j >= nFirst + 32; j -= 32) {
        const size_t i = j - 32;
        unsigned mask = CandidatesAt(t, pData + i, nTail) | CandidatesAt(t, pData + i + 16, nTail) << 16;
        for (; mask != 0; mask &= ~(1u << HighestBit(mask))) {
            size_t n = i + HighestBit(mask);
            if (search.MatchesAt(pData + n)) {
                nFound = static_cast<LONGLONG>(n);
                return j;
            }
        }
    }
    return j;
}
#endif

} // namespace

CHexEditSearch::CHexEditSearch(const BYTE* pPattern, size_t nLength, bool bMatchCase)
    : m_pattern(pPattern, pPattern + nLength), m_bMatchCase(bMatchCase)
{
    if (!m_bMatchCase) {
        for (BYTE& b : m_pattern)
            b = Fold(b);
    }
    auto anchorOf = [&](BYTE b) {
        return Anchor{b, static_cast<BYTE>(!m_bMatchCase && b >= 'a' && b <= 'z' ? 0x20 : 0)};
    };
    m_first = anchorOf(nLength > 0 ? m_pattern.front() : 0);
    m_last = anchorOf(nLength > 0 ? m_pattern.back() : 0);
}

bool CHexEditSearch::IsAnchorAt(const BYTE* p) const
{
    return (p[0] | m_first.fold) == m_first.value && (p[m_pattern.size() - 1] | m_last.fold) == m_last.value;
}

bool CHexEditSearch::MatchesAt(const BYTE* p) const
{
    const size_t n = m_pattern.size();
    if (m_bMatchCase)
        return memcmp(p, m_pattern.data(), n) == 0;
    const BYTE* q = m_pattern.data();
    for (size_t i = 0; i < n; i++) {
        if (Fold(p[i]) != q[i])
            return false;
    }
    return true;
}

LONGLONG CHexEditSearch::FindForward(const BYTE* pData, size_t nFirst, size_t nLast) const
{
    if (m_pattern.empty() || nFirst > nLast)
        return -1;
    size_t i = nFirst;
#ifdef QX_FIND_SSE2
    if (HasSse2()) {
        LONGLONG nFound = -1;
        i = ForwardByBlocks(*this, pData, i, nLast, nFound);
        if (nFound >= 0)
            return nFound;
    }
#endif
    for (; i <= nLast; i++) {
        if (IsAnchorAt(pData + i) && MatchesAt(pData + i))
            return static_cast<LONGLONG>(i);
    }
    return -1;
}

LONGLONG CHexEditSearch::FindBackward(const BYTE* pData, size_t nFirst, size_t nLast) const
{
    if (m_pattern.empty() || nFirst > nLast)
        return -1;
    size_t j = nLast + 1;
#ifdef QX_FIND_SSE2
    if (HasSse2()) {
        LONGLONG nFound = -1;
        j = BackwardByBlocks(*this, pData, nFirst, j, nFound);
        if (nFound >= 0)
            return nFound;
    }
#endif
    while (j > nFirst) {
        --j;
        if (IsAnchorAt(pData + j) && MatchesAt(pData + j))
            return static_cast<LONGLONG>(j);
    }
    return -1;
}

LONGLONG CHexEditCtrl::FindBytes(const BYTE* pBytes, int nCount, LONGLONG nStart, DWORD dwFlags)
{
    bool bCancelled = false;
    const LONGLONG nFound = SearchInPieces(pBytes, nCount, nStart, dwFlags, bCancelled);
    // Last, after the progress window went: a host tells a cancelled search
    // from one that found nothing.
    ::SetLastError(bCancelled ? ERROR_CANCELLED : ERROR_SUCCESS);
    return nFound;
}

LONGLONG CHexEditCtrl::SearchInPieces(const BYTE* pBytes, int nCount, LONGLONG nStart, DWORD dwFlags,
                                      bool& bCancelled)
{
    const LONGLONG nSize = m_data.GetSize();
    if (pBytes == NULL || nCount <= 0 || nCount > nSize || m_bInFileOperation)
        return -1;
    nStart = nStart < 0 ? 0 : (nStart > nSize ? nSize : nStart);
    const bool bDown = (dwFlags & FR_DOWN) != 0;
    // The starts to try, lowest to highest: at or after nStart going down,
    // before it going up; none may run past the last byte.
    const LONGLONG nLastPossible = nSize - nCount;
    LONGLONG nLow = bDown ? nStart : 0;
    LONGLONG nHigh = bDown ? nLastPossible : (nStart - 1 < nLastPossible ? nStart - 1 : nLastPossible);
    if (nLow > nHigh)
        return -1;

    CHexEditSearch search(pBytes, static_cast<size_t>(nCount), (dwFlags & FR_MATCHCASE) != 0);
    // Nothing may replace the bytes while the progress window lets messages
    // through; the flag lives in the control, which may go meanwhile.
    struct RunningFlag {
        bool* pb;
        explicit RunningFlag(bool& b) : pb(&b) { *pb = true; }
        ~RunningFlag()
        {
            if (pb != nullptr)
                *pb = false;
        }
    } running(m_bInFileOperation);
    CWaitCursor wait;
    const BYTE* pData = m_data.GetData();
    const ULONGLONG nTotal = static_cast<ULONGLONG>(nHigh - nLow + 1);
    CHexEditProgress progress(this, IDS_HEXEDIT_SEARCHING, "", nTotal);
    for (ULONGLONG nDone = 0; nDone < nTotal;) {
        const ULONGLONG nLeft = nTotal - nDone;
        const ULONGLONG nPiece = nLeft < CHexEditProgress::kPieceSize ? nLeft : CHexEditProgress::kPieceSize;
        // Going down the pieces follow each other from nLow, going up from
        // nHigh; each piece's starts read up to nCount - 1 bytes past it.
        const LONGLONG nFirst = bDown ? nLow + static_cast<LONGLONG>(nDone)
                                      : nHigh - static_cast<LONGLONG>(nDone + nPiece) + 1;
        const LONGLONG nLast = nFirst + static_cast<LONGLONG>(nPiece) - 1;
        const LONGLONG nFound = bDown ? search.FindForward(pData, static_cast<size_t>(nFirst), static_cast<size_t>(nLast))
                                      : search.FindBackward(pData, static_cast<size_t>(nFirst), static_cast<size_t>(nLast));
        if (nFound >= 0)
            return nFound;
        nDone += nPiece;
        AfterSearchPiece(nDone);
        if (nDone < nTotal && !progress.Step(nDone)) {
            if (progress.ControlGone())
                running.pb = nullptr;   // the flag went with the control
            bCancelled = true;
            return -1;
        }
    }
    return -1;
}
