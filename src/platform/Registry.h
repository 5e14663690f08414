#pragma once

#include <QString>

#include <cstdint>
#include <memory>

// The system's configuration database, in the shape of the Windows registry calls. On Windows
// it is the registry itself; elsewhere a stand-in answers what the program looks up.
class IRegistry
{
public:
    using HKEY = std::uintptr_t;
    static constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
    static constexpr long ERROR_SUCCESS = 0;
    static constexpr long ERROR_FILE_NOT_FOUND = 2;
    static constexpr long ERROR_ACCESS_DENIED = 5;
    static constexpr long ERROR_MORE_DATA = 234;
    static constexpr unsigned long REG_SZ = 1;
    static constexpr unsigned long REG_EXPAND_SZ = 2;
    static constexpr unsigned long REG_DWORD = 4;

    virtual ~IRegistry() = default;
    virtual long RegOpenKeyEx(HKEY root, const QString &subKey, unsigned long access,
                              HKEY *result) = 0;
    // Copies the value's bytes (8-bit, as stored) into data, which holds *size bytes; *size
    // becomes the number of bytes of the value.
    virtual long RegQueryValueEx(HKEY key, const QString &valueName, unsigned long *type,
                                 std::uint8_t *data, unsigned long *size) = 0;
    virtual long RegCloseKey(HKEY key) = 0;
};

// The registry on Windows, a stand-in elsewhere.
std::unique_ptr<IRegistry> makeSystemRegistry();
