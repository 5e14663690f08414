#include "platform/Registry.h"

#include <windows.h>

// The interface's methods carry the names of the calls they stand for, which <windows.h> turns
// into macros for the UTF-16 versions. Only the 8-bit calls are made here, by their full names.
#undef RegOpenKeyEx
#undef RegQueryValueEx

namespace {

// The predefined root keys are 32-bit values that Windows widens with their sign
// (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 in a 64-bit program); a key that RegOpenKeyExA
// returned is a handle of its own and passes through as it is.
::HKEY toNative(IRegistry::HKEY key)
{
    if (key >= 0x80000000u && key <= 0xFFFFFFFFu)
        return reinterpret_cast<::HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
    return reinterpret_cast<::HKEY>(key);
}

// The program reads the registry through the 8-bit calls, as its strings are stored for them:
// names and values in the system's ANSI code page, which is what toLocal8Bit gives on Windows.
class SystemRegistry final : public IRegistry
{
public:
    long RegOpenKeyEx(HKEY root, const QString &subKey, unsigned long access, HKEY *result) override
    {
        if (!result)
            return ERROR_INVALID_PARAMETER;
        ::HKEY opened = nullptr;
        const LONG status =
            ::RegOpenKeyExA(toNative(root), subKey.toLocal8Bit().constData(), 0, access, &opened);
        *result = status == ERROR_SUCCESS ? reinterpret_cast<HKEY>(opened) : 0;
        return status;
    }

    long RegQueryValueEx(HKEY key, const QString &valueName, unsigned long *type,
                         std::uint8_t *data, unsigned long *size) override
    {
        // DWORD is unsigned long on every Windows compiler, so the pointers go through as they are.
        return ::RegQueryValueExA(toNative(key), valueName.toLocal8Bit().constData(), nullptr, type,
                                  data, size);
    }

    long RegCloseKey(HKEY key) override { return ::RegCloseKey(toNative(key)); }
};

} // namespace

std::unique_ptr<IRegistry> makeSystemRegistry()
{
    return std::make_unique<SystemRegistry>();
}
