// afxcoll.h - the framework's collections: CByteArray, a growable array of
// bytes with a pointer-sized signed element count and checked element access.
#pragma once

#include "afx.h"

class CByteArray : public CObject {
    DECLARE_DYNAMIC(CByteArray)
public:
    CByteArray() = default;
    ~CByteArray() override;

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }

    // Sizes the array to nNewSize elements; new elements are zero. nGrowBy,
    // when not negative, becomes the growth step. SetSize(0, -1) frees the
    // storage. Throws CInvalidArgException for a negative size and
    // CMemoryException when the storage cannot be had (the elements are then
    // unchanged).
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
    void FreeExtra();
    void RemoveAll() { SetSize(0, -1); }

    BYTE GetAt(INT_PTR nIndex) const;
    void SetAt(INT_PTR nIndex, BYTE newElement);
    BYTE& ElementAt(INT_PTR nIndex);
    const BYTE& ElementAt(INT_PTR nIndex) const;
    BYTE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    BYTE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

    const BYTE* GetData() const { return m_pData; }
    BYTE* GetData() { return m_pData; }

    void SetAtGrow(INT_PTR nIndex, BYTE newElement);
    INT_PTR Add(BYTE newElement);
    void Copy(const CByteArray& src);

protected:
    // The storage, in MFC's layout and names, for classes derived from it.
    BYTE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};
