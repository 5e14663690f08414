#include "platform/RegistryStandIn.h"
#include "platform/Registry.h"

#include <QFile>
#include <QStandardPaths>

#include <cstring>

namespace {

const QString SystemInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
constexpr IRegistry::HKEY SystemInfoHandle = 1;

} // namespace

QString RegistryStandIn::systemInformationTool()
{
    // The desktops' system-information programs, in the order they are preferred.
    for (const char *name : {"kinfocenter", "hardinfo2", "hardinfo", "lshw-gtk"}) {
        QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

long RegistryStandIn::RegOpenKeyEx(HKEY root, const QString &subKey, unsigned long, HKEY *result)
{
    if (!result)
        return ERROR_ACCESS_DENIED;
    *result = 0;
    if (root != HKEY_LOCAL_MACHINE || subKey.compare(SystemInfoKey, Qt::CaseInsensitive) != 0)
        return ERROR_FILE_NOT_FOUND;
    m_tool = systemInformationTool();
    if (m_tool.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    *result = SystemInfoHandle;
    return ERROR_SUCCESS;
}

long RegistryStandIn::RegQueryValueEx(HKEY key, const QString &valueName, unsigned long *type,
                                      std::uint8_t *data, unsigned long *size)
{
    if (key != SystemInfoHandle || valueName.compare(QLatin1String("PATH"), Qt::CaseInsensitive))
        return ERROR_FILE_NOT_FOUND;
    // Stored as the registry stores strings: with their terminating zero.
    const QByteArray value = QFile::encodeName(m_tool) + '\0';
    if (type)
        *type = REG_SZ;
    if (!size)
        return ERROR_SUCCESS;
    const unsigned long capacity = *size;
    *size = static_cast<unsigned long>(value.size());
    if (!data)
        return ERROR_SUCCESS;
    if (capacity < *size)
        return ERROR_MORE_DATA;
    std::memcpy(data, value.constData(), size_t(value.size()));
    return ERROR_SUCCESS;
}

long RegistryStandIn::RegCloseKey(HKEY)
{
    return ERROR_SUCCESS;
}

std::unique_ptr<IRegistry> makeSystemRegistry()
{
    return std::make_unique<RegistryStandIn>();
}
