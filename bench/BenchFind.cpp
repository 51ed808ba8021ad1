// BenchFind.cpp - the search: FindBytes over a block of random bytes (1 GiB,
// 768 MiB in a 32-bit build) in which the pattern does not occur, against
// the standard library's own skip search and against memchr looking for a
// byte that is not there, the speed of reading the memory once.
#include "Bench.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

// xorshift64*: random enough for the bytes, and fast over a GiB.
class Random {
public:
    explicit Random(unsigned long long seed) : m_state(seed) {}
    unsigned long long Next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 2685821657736338717ULL;
    }

private:
    unsigned long long m_state;
};

// Random bytes, with bNoZero none of them 0x00 (a zero becomes 0x01).
void FillRandom(BYTE* p, size_t n, bool bNoZero)
{
    Random rng(20261210);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        unsigned long long v = rng.Next();
        memcpy(p + i, &v, 8);
    }
    for (; i < n; i++)
        p[i] = static_cast<BYTE>(rng.Next());
    if (bNoZero) {
        for (i = 0; i < n; i++)
            p[i] = p[i] == 0 ? 1 : p[i];
    }
}

const BYTE* StdSkipSearch(const BYTE* p, size_t n, const BYTE* pPattern, size_t nPattern)
{
    return std::search(p, p + n, std::boyer_moore_horspool_searcher<const BYTE*>(pPattern, pPattern + nPattern));
}

} // namespace

void BenchFind(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    const int nSize = sizeof(void*) == 4 ? (768 << 20) : (1 << 30);
    const char* kSkip = "FindBytes, 8-byte pattern / std::boyer_moore_horspool_searcher";
    const char* kRare = "FindBytes, pattern whose first byte never occurs / memchr";
    const char* kText = "FindBytes, case-insensitive text / the same floor";
    if (!ctl.SetCounting(nSize)) {
        PrintNote("search of 1 GiB", "not run: the memory could not be had");
        AddNotRun(kSkip, "<= 1.0");
        AddNotRun(kRare, "<= 1.25");
        AddNotRun(kText, "<= 1.5");
        ctl.SetCounting(4096);
        return;
    }
    BYTE* pData = ctl.m_data.GetData();
    FillRandom(pData, static_cast<size_t>(nSize), true);
    const int nRuns = std::max(5, b.nRuns / 6);

    // An 8-byte pattern of random bytes, made so that it does not occur.
    BYTE skip[8];
    Random rng(7);
    do {
        for (BYTE& x : skip)
            x = static_cast<BYTE>(rng.Next());
    } while (StdSkipSearch(pData, nSize, skip, 8) != pData + nSize);
    LONGLONG nFoundSkip = 0;
    const BYTE* pFoundStd = nullptr;
    StatsPair skipPair = MeasureInterleaved(
        nRuns, [&] { nFoundSkip = ctl.FindBytes(skip, 8, 0); },
        [&] { pFoundStd = StdSkipSearch(pData, nSize, skip, 8); }, 1);
    PrintRow("FindBytes, 8 random bytes absent, the block", skipPair.a);
    PrintRow("std::search, boyer_moore_horspool_searcher", skipPair.b);
    if (nFoundSkip == -1 && pFoundStd == pData + nSize)
        AddRatio(kSkip, skipPair, "<= 1.0");
    else
        AddNotRun(kSkip, "<= 1.0");

    // No byte of the block is 0x00: a pattern that begins with it is
    // rejected at its first byte everywhere, as memchr rejects each byte.
    const BYTE rare[8] = {0x00, 'n', 'o', 't', 'h', 'e', 'r', 'e'};
    LONGLONG nFoundRare = 0;
    const void* pFoundMemchr = pData;
    StatsPair rarePair = MeasureInterleaved(
        nRuns, [&] { nFoundRare = ctl.FindBytes(rare, 8, 0); },
        [&] { pFoundMemchr = memchr(pData, 0x00, static_cast<size_t>(nSize)); }, 1);
    PrintRow("FindBytes, first byte never occurs, the block", rarePair.a);
    PrintRow("memchr of a byte that never occurs, the block", rarePair.b);
    if (nFoundRare == -1 && pFoundMemchr == nullptr)
        AddRatio(kRare, rarePair, "<= 1.25");
    else
        AddNotRun(kRare, "<= 1.25");

    // A word in letters, either case, which random bytes do not hold.
    const BYTE text[8] = {'P', 'a', 's', 's', 'W', 'o', 'r', 'd'};
    LONGLONG nFoundText = 0;
    StatsPair textPair = MeasureInterleaved(
        nRuns, [&] { nFoundText = ctl.FindBytes(text, 8, 0, FR_DOWN); },
        [&] { pFoundMemchr = memchr(pData, 0x00, static_cast<size_t>(nSize)); }, 1);
    PrintRow("FindBytes, \"PassWord\" in either case, the block", textPair.a);
    PrintRow("memchr of a byte that never occurs, the block", textPair.b);
    if (nFoundText == -1 && pFoundMemchr == nullptr)
        AddRatio(kText, textPair, "<= 1.5");
    else
        AddNotRun(kText, "<= 1.5");

    ctl.SetCounting(4096);
    Pump();
}
