#pragma once

#include "platform/Registry.h"

#include <QString>

class IFiles;
class IMessageBox;
class IProcessLauncher;

// Finds the operating system's System Information tool through the registry and starts it.
class SystemInfo
{
public:
    static constexpr unsigned long KeyAllAccess = 0x2003F;
    // Reading alone (KEY_READ): what a standard user is granted below HKEY_LOCAL_MACHINE.
    static constexpr unsigned long KeyRead = 0x20019;
    static constexpr unsigned long BufferSize = 1024;

    SystemInfo(IRegistry &registry, IProcessLauncher &processes, IFiles &files,
               IMessageBox &messages)
        : m_registry(registry)
        , m_processes(processes)
        , m_files(files)
        , m_messages(messages)
    {}

    // Reads a value below root\keyName; false (and an empty value) when the key or the value
    // cannot be read.
    bool keyValue(IRegistry::HKEY root, const QString &keyName, const QString &valueName,
                  QString &value);

    // A value's stored bytes as the text they stand for: strings in the system's code page,
    // double words as decimal numbers, anything else empty.
    static QString valueText(const QByteArray &stored, unsigned long type);

    // Starts the tool, or says that it is unavailable.
    void start();

private:
    IRegistry &m_registry;
    IProcessLauncher &m_processes;
    IFiles &m_files;
    IMessageBox &m_messages;
};
