// tempmaps.h - maps from a handle to the wrapper object that owns it, with
// temporary wrappers for handles nobody owns (made by FromHandle and deleted
// by the owner's DeleteTempMap when the application is idle).
#pragma once

#include <unordered_map>

template <class Handle, class Wrapper>
class CHandleMap {
public:
    Wrapper* LookupPermanent(Handle h) const
    {
        auto it = m_permanent.find(h);
        return it == m_permanent.end() ? nullptr : it->second;
    }
    Wrapper* LookupTemporary(Handle h) const
    {
        auto it = m_temporary.find(h);
        return it == m_temporary.end() ? nullptr : it->second;
    }
    void SetPermanent(Handle h, Wrapper* p) { m_permanent[h] = p; }
    void RemoveHandle(Handle h, Wrapper* p)
    {
        auto it = m_permanent.find(h);
        if (it != m_permanent.end() && it->second == p)
            m_permanent.erase(it);
        auto jt = m_temporary.find(h);
        if (jt != m_temporary.end() && jt->second == p)
            m_temporary.erase(jt);
    }
    // The wrapper of h: the owner's, or a temporary one made with make().
    template <class Make>
    Wrapper* FromHandle(Handle h, Make make)
    {
        if (!h)
            return nullptr;
        if (Wrapper* p = LookupPermanent(h))
            return p;
        if (Wrapper* p = LookupTemporary(h))
            return p;
        Wrapper* p = make(h);
        m_temporary[h] = p;
        return p;
    }
    // Deletes one temporary wrapper (for instance a released window DC).
    template <class Clear>
    void DeleteTemporary(Handle h, Clear clear)
    {
        auto it = m_temporary.find(h);
        if (it == m_temporary.end())
            return;
        Wrapper* p = it->second;
        m_temporary.erase(it);
        clear(p);
        delete p;
    }
    template <class Clear>
    void DeleteTemporaries(Clear clear)
    {
        auto temporaries = std::move(m_temporary);
        m_temporary.clear();
        for (auto& entry : temporaries) {
            clear(entry.second);
            delete entry.second;
        }
    }

private:
    std::unordered_map<Handle, Wrapper*> m_permanent;
    std::unordered_map<Handle, Wrapper*> m_temporary;
};
