// TestFiles.h - whole files read and written, and a folder listed, with the
// system's calls: how the file tests check what the control loaded and saved.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qxtest {

using Bytes = std::vector<BYTE>;

// The file's bytes, or none when it cannot be opened.
inline Bytes ReadAll(const std::string& path)
{
    Bytes bytes;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    ::GetFileSizeEx(h, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD n = 0;
    if (!bytes.empty())
        ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, NULL);
    bytes.resize(n);
    ::CloseHandle(h);
    return bytes;
}

inline bool WriteAll(const std::string& path, const Bytes& bytes)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    BOOL ok = bytes.empty() || ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, NULL);
    ::CloseHandle(h);
    return ok && n == bytes.size();
}

// The names in a folder, without "." and "..".
inline std::vector<std::string> List(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return names;
}

} // namespace qxtest
