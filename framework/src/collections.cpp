// collections.cpp - CByteArray: growth by a step, zeroed new elements,
// checked access, and storage that stays intact when an allocation fails.
#include "afxcoll.h"
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

IMPLEMENT_DYNAMIC(CByteArray, CObject)

CByteArray::~CByteArray()
{
    free(m_pData);
}

// Storage comes from malloc and calloc: a fresh block asked for zeroed
// comes as pages the system has already cleared, so sizing an empty array
// to a large count costs no pass over the bytes.
static BYTE* AllocateBytes(INT_PTR n)
{
    BYTE* p = static_cast<BYTE*>(malloc(static_cast<size_t>(n)));
    if (p == nullptr)
        AfxThrowMemoryException();
    return p;
}

static BYTE* AllocateZeroedBytes(INT_PTR n)
{
    BYTE* p = static_cast<BYTE*>(calloc(static_cast<size_t>(n), 1));
    if (p == nullptr)
        AfxThrowMemoryException();
    return p;
}

void CByteArray::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy)
{
    if (nNewSize < 0)
        AfxThrowInvalidArgException();
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;

    if (nNewSize == 0) {
        free(m_pData);
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
    } else if (m_pData == nullptr) {
        INT_PTR nAlloc = nNewSize > m_nGrowBy ? nNewSize : m_nGrowBy;
        m_pData = AllocateZeroedBytes(nAlloc);
        m_nSize = nNewSize;
        m_nMaxSize = nAlloc;
    } else if (nNewSize <= m_nMaxSize) {
        if (nNewSize > m_nSize)
            memset(m_pData + m_nSize, 0, static_cast<size_t>(nNewSize - m_nSize));
        m_nSize = nNewSize;
    } else {
        INT_PTR grow = m_nGrowBy;
        if (grow == 0) {
            // No step given: grow by an eighth, at least 4 and at most 1024.
            grow = m_nSize / 8;
            grow = grow < 4 ? 4 : (grow > 1024 ? 1024 : grow);
        }
        INT_PTR nNewMax = m_nMaxSize > INTPTR_MAX - grow ? INTPTR_MAX : m_nMaxSize + grow;
        if (nNewMax < nNewSize)
            nNewMax = nNewSize;
        BYTE* pNew = AllocateBytes(nNewMax);
        memcpy(pNew, m_pData, static_cast<size_t>(m_nSize));
        memset(pNew + m_nSize, 0, static_cast<size_t>(nNewSize - m_nSize));
        free(m_pData);
        m_pData = pNew;
        m_nSize = nNewSize;
        m_nMaxSize = nNewMax;
    }
}

void CByteArray::FreeExtra()
{
    if (m_nSize == m_nMaxSize)
        return;
    BYTE* pNew = nullptr;
    if (m_nSize != 0) {
        pNew = AllocateBytes(m_nSize);
        memcpy(pNew, m_pData, static_cast<size_t>(m_nSize));
    }
    free(m_pData);
    m_pData = pNew;
    m_nMaxSize = m_nSize;
}

BYTE CByteArray::GetAt(INT_PTR nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidArgException();
    return m_pData[nIndex];
}

void CByteArray::SetAt(INT_PTR nIndex, BYTE newElement)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidArgException();
    m_pData[nIndex] = newElement;
}

BYTE& CByteArray::ElementAt(INT_PTR nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidArgException();
    return m_pData[nIndex];
}

const BYTE& CByteArray::ElementAt(INT_PTR nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidArgException();
    return m_pData[nIndex];
}

void CByteArray::SetAtGrow(INT_PTR nIndex, BYTE newElement)
{
    if (nIndex < 0 || nIndex == INTPTR_MAX)
        AfxThrowInvalidArgException();
    if (nIndex >= m_nSize)
        SetSize(nIndex + 1, -1);
    m_pData[nIndex] = newElement;
}

INT_PTR CByteArray::Add(BYTE newElement)
{
    INT_PTR nIndex = m_nSize;
    SetAtGrow(nIndex, newElement);
    return nIndex;
}

void CByteArray::Copy(const CByteArray& src)
{
    if (this == &src)
        return;
    SetSize(src.m_nSize, -1);
    if (src.m_nSize != 0)
        memcpy(m_pData, src.m_pData, static_cast<size_t>(src.m_nSize));
}
