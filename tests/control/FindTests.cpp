// Tests of CHexEditCtrl::FindBytes against a plain search written out here:
// random bytes of a small alphabet (letters of both cases and the bytes that
// differ from letters only by the case bit) with patterns planted at the
// first and the last possible offset, searched both ways from every kind of
// start, with and without case; starts and patterns across the pieces a long
// search goes in; what is refused; a block of 800,000,000 bytes with the
// pattern at its end. The cancelled search is in ProgressTests.cpp, with the
// other long operations.
#include "ControlTest.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using qxtest::TestHexEdit;

namespace {

using Bytes = std::vector<BYTE>;

bool IsAsciiLetter(BYTE b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

bool SameByte(BYTE a, BYTE b, bool bMatchCase)
{
    if (a == b)
        return true;
    return !bMatchCase && IsAsciiLetter(a) && IsAsciiLetter(b) && (a | 0x20) == (b | 0x20);
}

// The search as FindBytes promises it, one start after another.
LONGLONG PlainSearch(const Bytes& data, const Bytes& pattern, LONGLONG nStart, DWORD dwFlags)
{
    const LONGLONG n = static_cast<LONGLONG>(data.size()), m = static_cast<LONGLONG>(pattern.size());
    const bool bMatchCase = (dwFlags & FR_MATCHCASE) != 0;
    if (m == 0 || m > n)
        return -1;
    nStart = std::max(0LL, std::min(nStart, n));
    auto at = [&](LONGLONG s) {
        for (LONGLONG i = 0; i < m; i++)
            if (!SameByte(data[s + i], pattern[i], bMatchCase))
                return false;
        return true;
    };
    if (dwFlags & FR_DOWN) {
        for (LONGLONG s = nStart; s + m <= n; s++)
            if (at(s))
                return s;
    } else {
        for (LONGLONG s = std::min(nStart - 1, n - m); s >= 0; s--)
            if (at(s))
                return s;
    }
    return -1;
}

class FindTest : public qxtest::CountingControlTest<TestHexEdit> {
protected:
    // The bytes put straight into the control's array: a host's copy, byte
    // by byte, takes long over MiBs.
    void SetBytes(const Bytes& data)
    {
        ASSERT_TRUE(ctl.SetZeros(static_cast<int>(data.size())));
        if (!data.empty())
            memcpy(ctl.m_data.GetData(), data.data(), data.size());
    }

    LONGLONG Find(const Bytes& pattern, LONGLONG nStart, DWORD dwFlags)
    {
        return ctl.FindBytes(pattern.data(), static_cast<int>(pattern.size()), nStart, dwFlags);
    }

    // FindBytes and the plain search agree from each start, both ways, with
    // and without case.
    void ExpectAsPlain(const Bytes& data, const Bytes& pattern, const std::vector<LONGLONG>& starts)
    {
        for (LONGLONG nStart : starts) {
            for (DWORD dwFlags : {DWORD(FR_DOWN | FR_MATCHCASE), DWORD(FR_DOWN), DWORD(FR_MATCHCASE), DWORD(0)}) {
                ASSERT_EQ(PlainSearch(data, pattern, nStart, dwFlags), Find(pattern, nStart, dwFlags))
                    << "size " << data.size() << ", pattern of " << pattern.size() << ", start " << nStart
                    << ", flags " << dwFlags;
            }
        }
    }
};

// Bytes of an alphabet small enough for short patterns to recur, overlapping
// ones among them: letters in both cases, and '@', '[', '`', '{', which
// differ from 'A', 'Z', 'a' or 'z' only by one bit and must not match them.
Bytes RandomBytes(std::mt19937& rng, size_t n)
{
    static const BYTE kAlphabet[] = {'a', 'A', 'z', 'Z', '@', '`', '[', '{', 0x00, 0xFF, 0xE1, 0xC1};
    std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 1);
    Bytes b(n);
    for (BYTE& x : b)
        x = kAlphabet[pick(rng)];
    return b;
}

TEST_F(FindTest, FindsWhatAPlainSearchFindsFromEveryKindOfStart)
{
    std::mt19937 rng(20261210);
    for (size_t n : {1u, 2u, 7u, 31u, 32u, 33u, 64u, 100u, 1000u, 20000u}) {
        Bytes data = RandomBytes(rng, n);
        for (size_t m : {1u, 2u, 3u, 8u, 17u, 40u}) {
            if (m > n)
                continue;
            // Planted at the first and the last possible offset, then read
            // back from the middle (which may be found earlier still).
            Bytes pattern = RandomBytes(rng, m);
            std::copy(pattern.begin(), pattern.end(), data.begin());
            Bytes last = RandomBytes(rng, m);
            std::copy(last.begin(), last.end(), data.end() - m);
            SetBytes(data);
            const LONGLONG nn = static_cast<LONGLONG>(n), mm = static_cast<LONGLONG>(m);
            std::vector<LONGLONG> starts = {-5, 0, 1, nn / 2, nn - mm - 1, nn - mm, nn - mm + 1, nn - 1, nn, nn + 9};
            for (int i = 0; i < 6; i++)
                starts.push_back(std::uniform_int_distribution<LONGLONG>(0, nn)(rng));
            ASSERT_NO_FATAL_FAILURE(ExpectAsPlain(data, pattern, starts));
            ASSERT_NO_FATAL_FAILURE(ExpectAsPlain(data, last, starts));
            Bytes middle(data.begin() + n / 2 - std::min(n / 2, m / 2), data.begin() + n / 2 - std::min(n / 2, m / 2) + m);
            ASSERT_NO_FATAL_FAILURE(ExpectAsPlain(data, middle, starts));
            // The same in the other case: found only without FR_MATCHCASE.
            Bytes flipped = pattern;
            for (BYTE& b : flipped)
                b = IsAsciiLetter(b) ? static_cast<BYTE>(b ^ 0x20) : b;
            ASSERT_NO_FATAL_FAILURE(ExpectAsPlain(data, flipped, starts));
        }
    }
    // At 0 and at the last offset, as planted.
    Bytes data(100, 0x11);
    const Bytes pattern = {'K', 'e', 'Y', '@'};
    std::copy(pattern.begin(), pattern.end(), data.begin());
    std::copy(pattern.begin(), pattern.end(), data.end() - 4);
    SetBytes(data);
    EXPECT_EQ(0, Find(pattern, 0, FR_DOWN | FR_MATCHCASE));
    EXPECT_EQ(96, Find(pattern, 1, FR_DOWN | FR_MATCHCASE));
    EXPECT_EQ(96, Find({'k', 'E', 'y', '@'}, 100, 0));
    EXPECT_EQ(-1, Find({'k', 'E', 'y', '@'}, 100, FR_MATCHCASE));
    EXPECT_EQ(-1, Find({'k', 'E', 'y', '`'}, 0, FR_DOWN)) << "'`' matched '@'";
    EXPECT_EQ(0, Find(pattern, 96, 0)) << "backward from the last hit's start";
    // Overlapping occurrences: each start is its own hit.
    SetBytes(Bytes(10, 'a'));
    EXPECT_EQ(3, Find({'a', 'a', 'a'}, 3, FR_DOWN));
    EXPECT_EQ(7, Find({'a', 'a', 'a'}, 10, 0));
    EXPECT_EQ(6, Find({'a', 'a', 'a'}, 7, 0));
    EXPECT_EQ(-1, Find({'a', 'a', 'a'}, 8, FR_DOWN));
}

// A long search goes in pieces of 4 MiB, and going up they are counted from
// the last possible start: patterns planted across both kinds of boundary,
// and starts just around them.
TEST_F(FindTest, PatternsAcrossThePiecesOfALongSearchAreFound)
{
    const LONGLONG kPiece = 4LL << 20;
    const LONGLONG n = 2 * kPiece + 1000;
    Bytes data(static_cast<size_t>(n), 0x00);
    const Bytes pattern = {'N', 'e', 'e', 'd', 'l', 'e', '!', 'x'};
    const LONGLONG m = static_cast<LONGLONG>(pattern.size());
    const LONGLONG nHigh = n - m;
    const std::vector<LONGLONG> plants = {kPiece - 3, 2 * kPiece - 7, nHigh - kPiece - 2, nHigh - kPiece + 1};
    for (LONGLONG at : plants)
        std::copy(pattern.begin(), pattern.end(), data.begin() + at);
    SetBytes(data);
    std::vector<LONGLONG> starts = {0, n};
    for (LONGLONG at : plants)
        for (LONGLONG d : {-1LL, 0LL, 1LL})
            starts.push_back(at + d);
    // The plain search is slow over 8 MiB: the flags that matter, once.
    for (LONGLONG nStart : starts) {
        EXPECT_EQ(PlainSearch(data, pattern, nStart, FR_DOWN | FR_MATCHCASE), Find(pattern, nStart, FR_DOWN | FR_MATCHCASE))
            << "down from " << nStart;
        EXPECT_EQ(PlainSearch(data, pattern, nStart, 0), Find({'n', 'E', 'E', 'D', 'L', 'E', '!', 'X'}, nStart, 0))
            << "up from " << nStart;
    }
}

TEST_F(FindTest, RefusesWhatCannotBeFoundAndChangesNothing)
{
    // A view to keep: scrolled, a selection, an edit made.
    ctl.SetFocus();
    ctl.SetSelection(0x300, 0x310);
    ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    ctl.m_data[5] = 0x99;
    ctl.SetModify(TRUE);
    const std::vector<LONGLONG> before = {ctl.m_nSelStart, ctl.m_nSelEnd, ctl.m_nCaretPos, ctl.m_nArea,
                                          ctl.m_nFirstRow, ctl.m_nFirstCol, ctl.m_byteCur, ctl.GetModify()};
    const BYTE pattern[] = {0x10, 0x11, 0x12};
    EXPECT_EQ(0x10, ctl.FindBytes(pattern, 3, -100));
    EXPECT_EQ(0xF10, ctl.FindBytes(pattern, 3, 1LL << 40, 0)) << "a start past the end is the end";
    EXPECT_EQ(-1, ctl.FindBytes(pattern, 0, 0));
    EXPECT_EQ(-1, ctl.FindBytes(pattern, -3, 0));
    EXPECT_EQ(-1, ctl.FindBytes(NULL, 3, 0));
    EXPECT_EQ(-1, ctl.FindBytes(pattern, 3, 0xF11)) << "past the last hit";
    EXPECT_EQ(-1, ctl.FindBytes(pattern, 3, 0x10, 0)) << "before the first hit";
    // Longer than the data; the whole data itself.
    std::vector<BYTE> all(ctl.m_data.GetData(), ctl.m_data.GetData() + 4096);
    all.push_back(0);
    EXPECT_EQ(-1, ctl.FindBytes(all.data(), 4097, 0));
    EXPECT_EQ(0, ctl.FindBytes(all.data(), 4096, 0));
    EXPECT_EQ(0, ctl.FindBytes(all.data(), 4096, 4096, 0));
    EXPECT_EQ(before, (std::vector<LONGLONG>{ctl.m_nSelStart, ctl.m_nSelEnd, ctl.m_nCaretPos, ctl.m_nArea,
                                             ctl.m_nFirstRow, ctl.m_nFirstCol, ctl.m_byteCur, ctl.GetModify()}));
    EXPECT_EQ(0x99, ctl.m_data[5]) << "the search wrote into the bytes";
    // An empty control finds nothing.
    ctl.SetCounting(0);
    EXPECT_EQ(-1, ctl.FindBytes(pattern, 1, 0));
    EXPECT_EQ(-1, ctl.FindBytes(pattern, 1, 0, 0));
}

TEST_F(FindTest, ThePatternAtTheEndOfABlockOf800MB)
{
    const int kBig = 800000000;
    if (!ctl.SetZeros(kBig))
        GTEST_SKIP() << "800,000,000 bytes could not be allocated";
    const BYTE pattern[] = {'E', 'n', 'd', 0x00, 'X'};
    memcpy(ctl.m_data.GetData() + kBig - 5, pattern, 5);
    EXPECT_EQ(kBig - 5, ctl.FindBytes(pattern, 5, 0));
    EXPECT_EQ(kBig - 5, ctl.FindBytes(pattern, 5, kBig, FR_MATCHCASE));
    const BYTE lower[] = {'e', 'N', 'D', 0x00, 'x'};
    EXPECT_EQ(kBig - 5, ctl.FindBytes(lower, 5, 1, FR_DOWN));
    EXPECT_EQ(-1, ctl.FindBytes(lower, 5, 1, FR_DOWN | FR_MATCHCASE));
    EXPECT_EQ(-1, ctl.FindBytes(pattern, 5, kBig - 5, 0)) << "nothing starts before it";
    ctl.m_data.SetSize(0, -1);
}

} // namespace
