// strings.cpp - CString: formatting, searching and loading from the string table.
#include "afx.h"
#include <stdio.h>
#include <string.h>

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLength())
        AfxThrowInvalidArgException();
    return m_str[static_cast<size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex < 0 || nIndex >= GetLength())
        AfxThrowInvalidArgException();
    m_str[static_cast<size_t>(nIndex)] = ch;
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    return CString(m_str.substr(0, static_cast<size_t>(nCount)).c_str());
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0 || nFirst >= GetLength())
        return CString();
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)).c_str());
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(nCount)).c_str());
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(pszSub, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew)
{
    if (!pszOld || !*pszOld)
        return 0;
    std::string from(pszOld), to(pszNew ? pszNew : "");
    int count = 0;
    for (size_t pos = 0; (pos = m_str.find(from, pos)) != std::string::npos; pos += to.size()) {
        m_str.replace(pos, from.size(), to);
        ++count;
    }
    return count;
}

CString& CString::MakeUpper()
{
    if (!m_str.empty())
        CharUpperBuffA(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeLower()
{
    if (!m_str.empty())
        CharLowerBuffA(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(small, sizeof small, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
        return;
    }
    if (static_cast<size_t>(n) < sizeof small) {
        m_str.assign(small, static_cast<size_t>(n));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    vsnprintf(&big[0], big.size(), pszFormat, args);
    big.resize(static_cast<size_t>(n));
    m_str.swap(big);
}

BOOL CString::LoadString(UINT nID)
{
    // A string resource is at most 65535 characters; grow until it fits (a
    // buffer that comes back full may have cut the string).
    for (int size = 256; size <= 65536 * 4; size *= 4) {
        std::string buf(static_cast<size_t>(size), '\0');
        int n = ::LoadStringA(AfxGetResourceHandle(), nID, &buf[0], size);
        if (n <= 0) {
            m_str.clear();
            return FALSE;
        }
        if (n < size - 1) {
            buf.resize(static_cast<size_t>(n));
            m_str.swap(buf);
            return TRUE;
        }
    }
    return FALSE;
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength < 0)
        AfxThrowInvalidArgException();
    if (m_str.size() < static_cast<size_t>(nMinBufLength))
        m_str.resize(static_cast<size_t>(nMinBufLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(strnlen(m_str.c_str(), m_str.size()));
    m_str.resize(static_cast<size_t>(nNewLength));
}

// Replaces every %1 (and, with two arguments, %2) of the string resource
// nIDS in one pass, so that a %1 or %2 inside an argument stays as it is.
static void FormatStringResource(CString& rString, UINT nIDS, int nArgs, LPCSTR psz1, LPCSTR psz2)
{
    CString format;
    format.LoadString(nIDS);
    CString result;
    for (int i = 0; i < format.GetLength(); ++i) {
        if (format[i] == '%' && i + 1 < format.GetLength() && (format[i + 1] == '1' || (format[i + 1] == '2' && nArgs == 2))) {
            LPCSTR psz = format[i + 1] == '1' ? psz1 : psz2;
            result += psz ? psz : "";
            ++i;
        } else {
            result += format[i];
        }
    }
    rString = result;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR psz1)
{
    FormatStringResource(rString, nIDS, 1, psz1, NULL);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR psz1, LPCSTR psz2)
{
    FormatStringResource(rString, nIDS, 2, psz1, psz2);
}

CString& CString::Trim()
{
    const char* kSpace = " \t\r\n\v\f";
    size_t first = m_str.find_first_not_of(kSpace);
    if (first == std::string::npos) {
        m_str.clear();
        return *this;
    }
    m_str = m_str.substr(first, m_str.find_last_not_of(kSpace) - first + 1);
    return *this;
}
