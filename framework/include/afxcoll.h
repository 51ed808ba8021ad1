// afxcoll.h - the framework's collections: CByteArray, a growable array of
// bytes with a signed 32-bit element count and checked element access.
#pragma once

#include "afx.h"

class CByteArray : public CObject {
    DECLARE_DYNAMIC(CByteArray)
public:
    CByteArray() = default;
    ~CByteArray() override;
    // Takes over the other array's storage, leaving it empty: a new content
    // can be built aside and taken without a copy or a failure.
    CByteArray& operator=(CByteArray&& other) noexcept;

    int GetSize() const { return m_nSize; }
    int GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    int GetUpperBound() const { return m_nSize - 1; }

    // Sizes the array to nNewSize elements; new elements are zero. nGrowBy,
    // when not negative, becomes the growth step. SetSize(0, -1) frees the
    // storage. Throws CInvalidArgException for a negative size and
    // CMemoryException when the storage cannot be had (the elements are then
    // unchanged).
    void SetSize(int nNewSize, int nGrowBy = -1);
    void FreeExtra();
    void RemoveAll() { SetSize(0, -1); }

    BYTE GetAt(int nIndex) const;
    void SetAt(int nIndex, BYTE newElement);
    BYTE& ElementAt(int nIndex);
    const BYTE& ElementAt(int nIndex) const;
    BYTE operator[](int nIndex) const { return GetAt(nIndex); }
    BYTE& operator[](int nIndex) { return ElementAt(nIndex); }

    const BYTE* GetData() const { return m_pData; }
    BYTE* GetData() { return m_pData; }

    void SetAtGrow(int nIndex, BYTE newElement);
    int Add(BYTE newElement);
    void Copy(const CByteArray& src);

private:
    BYTE* m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;
};
