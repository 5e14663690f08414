#pragma once

#include "Registry.h"

// Where there is no registry: the System Information tool's location (the first of the usual
// locations) is the full path of a system-information program found on the PATH, if any.
class RegistryStandIn final : public IRegistry
{
public:
    long RegOpenKeyEx(HKEY root, const QString &subKey, unsigned long access,
                      HKEY *result) override;
    long RegQueryValueEx(HKEY key, const QString &valueName, unsigned long *type,
                         std::uint8_t *data, unsigned long *size) override;
    long RegCloseKey(HKEY key) override;

    static QString systemInformationTool();

private:
    QString m_tool;
};
