// BenchFiles.cpp - the whole-buffer operations on a large block: Fill
// against memset of the same bytes, LoadFile against a fresh zeroed block
// and one ReadFile of the same file, SaveFile against one WriteFile to a new
// file in the same folder, its flush to the disk and the replace (the save
// flushes too), each pair timed in turns after a warm-up; and the peak
// memory of a load against the old and the new block together.
//
// They work on a control of their own (800x600, never painted while timed)
// and a file of the block's size in a folder of the temporary path.
#include "Bench.h"
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

typedef BOOL(WINAPI* GetProcessMemoryInfoFn)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);

bool ReadMemory(SIZE_T& nCurrent, SIZE_T& nPeak)
{
    static GetProcessMemoryInfoFn pfn = reinterpret_cast<GetProcessMemoryInfoFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (pfn == nullptr || !pfn(::GetCurrentProcess(), &pmc, sizeof pmc))
        return false;
    nCurrent = pmc.WorkingSetSize;
    nPeak = pmc.PeakWorkingSetSize;
    return true;
}

// Under Wine the peak working set is the Linux process's resident high-water
// mark, which writing "5" to its clear_refs brings down to what is resident.
bool ResetPeakMemory()
{
    HANDLE h = ::CreateFileA("Z:\\proc\\self\\clear_refs", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    BOOL ok = ::WriteFile(h, "5", 1, &n, NULL);
    ::CloseHandle(h);
    return ok && n == 1;
}

// The largest of 1 GiB, 768 MiB and 512 MiB of which two blocks (the old
// and the new content of a load) can be had at once; 0 when none.
int PickFileBenchSize()
{
    for (long long n : {1LL << 30, 3LL << 28, 1LL << 29}) {
        void* a = std::malloc(static_cast<size_t>(n));
        void* b = a ? std::malloc(static_cast<size_t>(n)) : nullptr;
        std::free(b);
        std::free(a);
        if (a && b)
            return static_cast<int>(n);
    }
    return 0;
}

bool WriteWholeFile(const std::string& path, const BYTE* p, DWORD n, bool bFlush = false)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD nWritten = 0;
    BOOL ok = ::WriteFile(h, p, n, &nWritten, NULL) && (!bFlush || ::FlushFileBuffers(h));
    return ::CloseHandle(h) && ok && nWritten == n;
}

// The control of the file figures with the block in it, and the block's
// file; all of it removed again at the end of the figure.
struct FileBlock {
    int nSize = 0;
    std::string dir, path, floorTemp;
    BenchHexEdit ctl;

    // False (with the figure's line saying why) when the block or its file
    // cannot be had.
    bool Make(Bench& b, const char* pszFigure)
    {
        nSize = PickFileBenchSize();
        if (nSize == 0) {
            PrintNote(pszFigure, "not run: two blocks of 512 MiB could not be had");
            return false;
        }
        char szTemp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, szTemp);
        dir = std::string(szTemp) + "qx bench files";
        ::CreateDirectoryA(dir.c_str(), NULL);
        path = dir + "\\data.bin";
        floorTemp = dir + "\\floor.tmp";
        RECT rc = {0, 0, 800, 600};
        ctl.Create(rc, CWnd::FromHandle(b.hHost), 2);
        if (!ctl.SetCounting(nSize) || !WriteWholeFile(path, ctl.m_data.GetData(), static_cast<DWORD>(nSize))) {
            PrintNote(pszFigure, "not run: the block or its file could not be made");
            return false;
        }
        Pump();
        return true;
    }
    ~FileBlock()
    {
        ctl.m_data.SetSize(0, -1);
        if (ctl.m_hWnd != NULL)
            ctl.DestroyWindow();
        if (!path.empty()) {
            ::DeleteFileA(path.c_str());
            ::DeleteFileA(floorTemp.c_str());
            ::RemoveDirectoryA(dir.c_str());
        }
    }
};

// The six timed runs of the file figures, in pairs: Fill and memset,
// LoadFile and its floor, SaveFile and its floor. A floor's failed call
// clears bFloorOk.
std::vector<std::function<double()>> FileOperationRuns(FileBlock& fb, bool& bFloorOk)
{
    BenchHexEdit& ctl = fb.ctl;
    const size_t nSize = static_cast<size_t>(fb.nSize);
    auto fill = [&ctl, nFill = 0]() mutable {
        BYTE value = static_cast<BYTE>(nFill++ * 37 + 1);
        return Time([&] {
            ctl.Fill(value);
            ::ValidateRect(ctl.m_hWnd, NULL);   // the fill, not a paint
        });
    };
    auto memsetSame = [&ctl, nSize, nMemset = 0]() mutable {
        BYTE value = static_cast<BYTE>(nMemset++ * 37 + 2);
        return Time([&] { std::memset(ctl.m_data.GetData(), value, nSize); });
    };
    auto load = [&fb] {
        return Time([&] {
            fb.ctl.LoadFile(fb.path.c_str());
            ::ValidateRect(fb.ctl.m_hWnd, NULL);
        });
    };
    // The floor's free is not timed; the load's release of the old block is
    // (see the release's line).
    auto loadFloor = [&fb, nSize, &bFloorOk] {
        BYTE* p = nullptr;
        double t = Time([&] {
            p = static_cast<BYTE*>(std::calloc(nSize, 1));
            HANDLE h =
                ::CreateFileA(fb.path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
            DWORD nRead = 0;
            bFloorOk &= p != nullptr && h != INVALID_HANDLE_VALUE &&
                        ::ReadFile(h, p, static_cast<DWORD>(nSize), &nRead, NULL) && nRead == DWORD(nSize);
            ::CloseHandle(h);
        });
        std::free(p);
        return t;
    };
    auto save = [&fb] { return Time([&] { fb.ctl.SaveFile(fb.path.c_str()); }); };
    auto saveFloor = [&fb, nSize, &bFloorOk] {
        return Time([&] {
            bFloorOk &= WriteWholeFile(fb.floorTemp, fb.ctl.m_data.GetData(), static_cast<DWORD>(nSize), true) &&
                        ::ReplaceFileA(fb.path.c_str(), fb.floorTemp.c_str(), NULL, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                       NULL, NULL);
        });
    };
    return {fill, memsetSame, load, loadFloor, save, saveFloor};
}

} // namespace

// Fill, LoadFile and SaveFile, each in turns of its own with its floor (a,
// b, then b, a), so that every save and every floor of a save comes right
// after a write: the first 1 GiB write after other work takes two to three
// times as long as one after a write, whichever side it is. 1 GiB runs take
// seconds: one warm-up turn and 10 measured ones, whatever the runs a figure.
void BenchFileOperations(Bench& b)
{
    FileBlock fb;
    if (!fb.Make(b, "Fill, LoadFile, SaveFile")) {
        AddNotRun("Fill / memset", "<= 1.5");
        AddNotRun("LoadFile / floor", "<= 1.1");
        AddNotRun("SaveFile / floor", "<= 1.1");
        return;
    }
    const int nSize = fb.nSize;
    const int nRuns = 10, nWarmUp = 1;
    char note[160];
    std::snprintf(note, sizeof note, "%d MiB%s; %d warm-up and %d measured runs of each, in turns", nSize >> 20,
                  nSize == (1 << 30) ? "" : " (two blocks of 1 GiB could not be had)", nWarmUp, nRuns);
    PrintNote("block size of Fill, LoadFile, SaveFile", note);

    bool bFloorOk = true;
    const std::vector<std::function<double()>> runs = FileOperationRuns(fb, bFloorOk);
    std::vector<std::vector<double>> v[3];
    std::vector<Stats> s[3];
    for (int i = 0; i < 3; i++)
        s[i] = MeasureInTurnsTimed(nRuns, {runs[2 * i], runs[2 * i + 1]}, &v[i], nWarmUp);
    double tRelease = Time([&] { fb.ctl.m_data.SetSize(0, -1); });
    bool bLoaded = (fb.ctl.LoadFile(fb.path.c_str()), fb.ctl.m_data.GetSize() == nSize);

    PrintRow("Fill", s[0][0]);
    PrintRow("memset of the same bytes", s[0][1]);
    PrintRow("LoadFile", s[1][0]);
    PrintRow("floor: calloc + one ReadFile", s[1][1]);
    PrintRow("SaveFile", s[2][0]);
    PrintRow("floor: WriteFile + FlushFileBuffers + ReplaceFile", s[2][1]);
    std::snprintf(note, sizeof note, "%.3f ms (inside every LoadFile, not in its floor)", tRelease);
    PrintNote("release of the old block", note);
    if (!bFloorOk || !bLoaded)
        PrintNote("", "a floor's call or the last load failed: the ratios of these lines are not to be trusted");
    AddTurnsRatio("Fill / memset", v[0][0], v[0][1], "<= 1.5");
    AddTurnsRatio("LoadFile / floor", v[1][0], v[1][1], "<= 1.1");
    AddTurnsRatio("SaveFile / floor", v[2][0], v[2][1], "<= 1.1");
}

// Peak memory of a load: the old block resident, the high-water mark
// brought down to it, then the load; against the old and the new block.
void BenchLoadPeakMemory(Bench& b)
{
    const char* pszLine = "LoadFile peak - (old + new), MiB";
    FileBlock fb;
    if (!fb.Make(b, "peak memory of a load")) {
        AddNotRun(pszLine, "<= +16 MiB");
        return;
    }
    const int nSize = fb.nSize;
    SIZE_T nBefore = 0, nPeak = 0, nAfter = 0;
    bool bPeak = ReadMemory(nBefore, nPeak) && ResetPeakMemory() && ReadMemory(nBefore, nPeak);
    if (bPeak) {
        fb.ctl.LoadFile(fb.path.c_str());
        bPeak = ReadMemory(nAfter, nPeak) && fb.ctl.m_data.GetSize() == nSize;
    }
    if (!bPeak) {
        PrintNote("peak memory of a load", "not measured: the resident high-water mark could not be read or reset");
        AddNotRun(pszLine, "<= +16 MiB");
        return;
    }
    const double mib = 1024.0 * 1024.0;
    const double oldNew = 2.0 * nSize / mib;
    const double peakData = (static_cast<double>(nPeak) - static_cast<double>(nBefore)) / mib + nSize / mib;
    char note[160];
    std::snprintf(note, sizeof note, "%.1f MiB over the process without the block; old + new = %.1f MiB", peakData,
                  oldNew);
    PrintNote("peak memory of a load", note);
    AddDifference(pszLine, peakData - oldNew, "<= +16 MiB");
}
