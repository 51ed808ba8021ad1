// Tests of the framework's foundation: CByteArray's growth, bounds and
// failure behaviour, CString formatting, and the file exception's messages.
#include <afxwin.h>
#include <gtest/gtest.h>
#include "MessageBoxCatcher.h"
#include <climits>
#include <string>
#include <type_traits>
#include <utility>

namespace {

// Runs f and returns the run-time class of the CException* it threw, or NULL.
template <class F>
const CRuntimeClass* ThrownClass(F f)
{
    try {
        f();
    } catch (CException* e) {
        const CRuntimeClass* cls = e->GetRuntimeClass();
        e->Delete();
        return cls;
    }
    return nullptr;
}

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// MFC's CByteArray: no copy or move (CObject makes copying private, and the
// class declares no assignment), INT_PTR counts and indexes. Code that
// compiles here against anything else would not compile against MFC.
static_assert(!std::is_copy_assignable<CByteArray>::value && !std::is_move_assignable<CByteArray>::value,
              "CByteArray has no assignment");
static_assert(!std::is_copy_constructible<CByteArray>::value, "CByteArray has no copy");
static_assert(std::is_same<decltype(std::declval<const CByteArray&>().GetSize()), INT_PTR>::value &&
                  std::is_same<decltype(std::declval<CByteArray&>().Add(0)), INT_PTR>::value,
              "CByteArray counts in INT_PTR");

} // namespace

TEST(ByteArray, AccessOutsideTheBoundsThrowsInvalidArgument)
{
    CByteArray a;
    a.SetSize(3);
    const CRuntimeClass* invalid = RUNTIME_CLASS(CInvalidArgException);
    EXPECT_EQ(invalid, ThrownClass([&] { a.GetAt(-1); }));
    EXPECT_EQ(invalid, ThrownClass([&] { a.GetAt(3); }));
    EXPECT_EQ(invalid, ThrownClass([&] { a.SetAt(3, 1); }));
    EXPECT_EQ(invalid, ThrownClass([&] { a.ElementAt(-1); }));
    EXPECT_EQ(invalid, ThrownClass([&] { (void)a[7]; }));
    EXPECT_EQ(invalid, ThrownClass([&] { a.SetSize(-1); }));
    EXPECT_EQ(nullptr, ThrownClass([&] { a.SetAt(2, 9); }));
    EXPECT_EQ(9, a.GetAt(2));
    EXPECT_EQ(3, a.GetSize());
}

TEST(ByteArray, NewElementsAreZeroAlsoAfterShrinking)
{
    CByteArray a;
    for (int i = 0; i < 100; ++i)
        a.Add(static_cast<BYTE>(0xA0 + i));
    a.SetSize(10);
    a.SetSize(100);
    EXPECT_EQ(0xA9, a[9]);
    for (int i = 10; i < 100; ++i)
        ASSERT_EQ(0, a[i]) << i;
}

TEST(ByteArray, GrowsByTheGivenStepAndReleasesOnSizeZero)
{
    CByteArray a;
    a.SetSize(1, 1024);
    const BYTE* first = a.GetData();
    for (int i = 1; i < 1024; ++i)
        a.Add(static_cast<BYTE>(i));
    EXPECT_EQ(first, a.GetData()) << "the step reserves 1024 elements at once";
    a.Add(1);
    EXPECT_EQ(1025, a.GetSize());
    EXPECT_EQ(1023 % 256, a[1023]);
    a.SetSize(0, -1);
    EXPECT_EQ(nullptr, a.GetData());
    EXPECT_EQ(0, a.GetSize());
}

TEST(ByteArray, CopyIsIndependentAndTakesTheSize)
{
    CByteArray src, dst;
    for (int i = 0; i < 300; ++i)
        src.Add(static_cast<BYTE>(i));
    dst.SetSize(1000);
    dst.Copy(src);
    ASSERT_EQ(300, dst.GetSize());
    src[0] = 0x55;
    EXPECT_EQ(0, dst[0]);
    EXPECT_EQ(299 % 256, dst[299]);
    dst.Copy(dst);
    EXPECT_EQ(300, dst.GetSize());
}

#ifndef _WIN64
TEST(ByteArray, FailedAllocationThrowsMemoryAndKeepsTheContent)
{
    // Nearly 2 GiB at once cannot be had by a 32-bit process.
    CByteArray a;
    a.Add(7);
    a.Add(8);
    EXPECT_EQ(RUNTIME_CLASS(CMemoryException), ThrownClass([&] { a.SetSize(INT_MAX); }));
    ASSERT_EQ(2, a.GetSize());
    EXPECT_EQ(7, a[0]);
    EXPECT_EQ(8, a[1]);
}
#endif

// CString::Format formats into a 256-byte buffer first and, when the text
// does not fit, formats again into one of the right size, reading the
// arguments a second time.
TEST(String, FormatGivesWholeTextsOfEveryLengthAroundItsFirstBuffer)
{
    for (int len : {0, 1, 254, 255, 256, 257, 511, 4096, 100000}) {
        SCOPED_TRACE(len);
        std::string text(static_cast<size_t>(len), 'x');
        if (len > 0)
            text.back() = 'y';
        CString s;
        s.Format("%s", text.c_str());
        EXPECT_EQ(len, s.GetLength());
        EXPECT_EQ(text, std::string(s));
        // The arguments after a long one are read again, from the start.
        s.Format("%d<%s>%c%s%08X", -17, text.c_str(), 'Q', "end", 0xBEEFu);
        EXPECT_EQ("-17<" + text + ">Qend0000BEEF", std::string(s));
    }
}

TEST(String, FormatReplacesTheTextEvenWithItself)
{
    CString s(std::string(300, 'a').c_str());
    s.Format("%d", 5);
    EXPECT_STREQ("5", s);
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());

    // Its own text as an argument, short and past the first buffer.
    s = "abc";
    s.Format("<%s|%s>", static_cast<LPCSTR>(s), static_cast<LPCSTR>(s));
    EXPECT_STREQ("<abc|abc>", s);
    CString big(std::string(200, 'b').c_str());
    big.Format("%s%s", static_cast<LPCSTR>(big), static_cast<LPCSTR>(big));
    EXPECT_EQ(std::string(400, 'b'), std::string(big));
}

TEST(String, ConcatenatesComparesAndSearches)
{
    CString a("Hex"), b = a + " values";
    EXPECT_TRUE(b == "Hex values");
    EXPECT_TRUE(b != a);
    EXPECT_EQ(4, b.Find("values"));
    EXPECT_EQ(6, b.ReverseFind('l'));
    EXPECT_STREQ("val", b.Mid(4, 3));
    EXPECT_STREQ("ues", b.Right(3));
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_EQ(RUNTIME_CLASS(CInvalidArgException), ThrownClass([&] { (void)a[3]; }));
}

TEST(String, LoadsFromTheStringTableWithCodePage1252)
{
    CString s;
    ASSERT_TRUE(s.LoadString(AFX_IDP_FILE_NONE));
    EXPECT_STREQ("Non si \xE8 verificato alcun errore.", s);
    ASSERT_TRUE(s.LoadString(AFX_IDP_FILE_HARD_IO));
    EXPECT_STREQ("Errore di I/O hardware durante l'accesso a %1. ", s);
    EXPECT_FALSE(s.LoadString(0x7FFF));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(FileException, OpeningAMissingFileGivesTheItalianMessageWithThePath)
{
    std::string path = TempPath("qx-surely-missing.bin");
    DeleteFileA(path.c_str());
    CFile f;
    CFileException e;
    ASSERT_FALSE(f.Open(path.c_str(), CFile::modeRead, &e));
    EXPECT_EQ(CFileException::fileNotFound, e.m_cause);
    char text[512];
    ASSERT_TRUE(e.GetErrorMessage(text, sizeof text));
    EXPECT_EQ(path + " non trovato.", text);
}

TEST(FileException, EveryCauseHasItsMessageAndAPercentInThePathStays)
{
    const char* expected[] = {
        "Non si \xE8 verificato alcun errore.",
        "Errore sconosciuto durante l'accesso a C:\\a%1b.",
        "C:\\a%1b non trovato.",
        "C:\\a%1b contiene un percorso non valido.",
        "Impossibile aprire C:\\a%1b. Troppi file aperti.",
        "Accesso a C:\\a%1b negato.",
        "\xC8 stato associato un handle di file non valido a C:\\a%1b.",
        "Impossibile rimuovere C:\\a%1b poich\xE9 \xE8 la directory corrente.",
        "Impossibile creare C:\\a%1b poich\xE9 la directory \xE8 piena.",
        "Ricerca non riuscita su C:\\a%1b",
        "Errore di I/O hardware durante l'accesso a C:\\a%1b. ",
        "Violazione di condivisione durante l'accesso a C:\\a%1b.",
        "Violazione di blocco durante l'accesso a C:\\a%1b.",
        "Disco pieno durante l'accesso a C:\\a%1b.",
        "Tentativo di accedere a C:\\a%1b oltre la sua fine.",
    };
    for (int cause = CFileException::none; cause <= CFileException::endOfFile; ++cause) {
        CFileException e(cause, -1, "C:\\a%1b");
        char text[512];
        e.GetErrorMessage(text, sizeof text);
        EXPECT_STREQ(expected[cause], text) << "cause " << cause;
    }
}

TEST(FileException, AFileHeldWithoutSharingIsRefusedAndKeepsItsBytes)
{
    // (Wine, run as root, lets a read-only file be opened for writing, so a
    // refusal is produced by a handle that shares nothing.)
    std::string path = TempPath("qx-held.bin");
    CFile holder;
    ASSERT_TRUE(holder.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
    holder.Write("abc", 3);
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite, &e));
    EXPECT_EQ(CFileException::sharingViolation, e.m_cause);
    EXPECT_EQ(3u, holder.GetLength()) << "a refused open must not truncate the file";
    holder.Close();
    DeleteFileA(path.c_str());
}

TEST(FileException, OpeningADirectoryAsAFileIsAccessDenied)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(dir, CFile::modeCreate | CFile::modeReadWrite, &e));
    EXPECT_EQ(CFileException::accessDenied, e.m_cause);
}


TEST(FileException, ReportErrorShowsTheMessageInAMessageBox)
{
    MessageBoxCatcher catcher;
    CFileException e(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "C:\\dati\\x.bin");
    EXPECT_EQ(IDOK, e.ReportError(MB_OK));
    EXPECT_EQ("C:\\dati\\x.bin non trovato.", MessageBoxCatcher::Text());
    EXPECT_EQ(1, MessageBoxCatcher::Count());
}
