#include "SystemInfo.h"

#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <array>
#include <cstring>

bool SystemInfo::keyValue(IRegistry::HKEY root, const QString &keyName, const QString &valueName,
                          QString &value)
{
    IRegistry::HKEY key = 0;
    long opened = m_registry.RegOpenKeyEx(root, keyName, KeyAllAccess, &key);
    // The full access asks for writing too, which Windows refuses a standard user on the
    // machine's keys; reading is all that is done here, so a refusal is not the end of it.
    if (opened == IRegistry::ERROR_ACCESS_DENIED)
        opened = m_registry.RegOpenKeyEx(root, keyName, KeyRead, &key);
    if (opened != IRegistry::ERROR_SUCCESS) {
        value.clear();
        return false;
    }
    std::array<std::uint8_t, BufferSize> buffer{};
    unsigned long size = BufferSize;
    unsigned long type = 0;
    if (m_registry.RegQueryValueEx(key, valueName, &type, buffer.data(), &size) !=
        IRegistry::ERROR_SUCCESS) {
        value.clear();
        m_registry.RegCloseKey(key);
        return false;
    }
    value = valueText(QByteArray(reinterpret_cast<const char *>(buffer.data()),
                                 qsizetype(std::min<unsigned long>(size, BufferSize))),
                      type);
    m_registry.RegCloseKey(key);
    return true;
}

QString SystemInfo::valueText(const QByteArray &stored, unsigned long type)
{
    if (type == IRegistry::REG_DWORD && stored.size() == 4) {
        quint32 number = 0;
        std::memcpy(&number, stored.constData(), sizeof number);
        return QString::number(number);
    }
    if (type != IRegistry::REG_SZ && type != IRegistry::REG_EXPAND_SZ)
        return {};
    QByteArray bytes = stored;
    // A string stored with its terminating zero loses that byte, and only that one.
    if (!bytes.isEmpty() && bytes.back() == '\0')
        bytes.chop(1);
    // Qt's decoder for the system code page drops a final zero byte on Windows and keeps it
    // elsewhere: zeros left at the end are carried over as they are, the rest decoded. No code
    // page uses a zero byte inside a character, so the cut falls between characters.
    qsizetype zeros = 0;
    while (zeros < bytes.size() && bytes[bytes.size() - 1 - zeros] == '\0')
        ++zeros;
    return QString::fromLocal8Bit(bytes.first(bytes.size() - zeros)) + QString(zeros, QChar(0));
}

void SystemInfo::start()
{
    QString path;
    if (keyValue(IRegistry::HKEY_LOCAL_MACHINE,
                 QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                 QStringLiteral("PATH"), path)) {
        if (m_processes.startDetached(path))
            return;
    } else if (keyValue(IRegistry::HKEY_LOCAL_MACHINE,
                        QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                        QStringLiteral("MSINFO"), path)) {
        const QString program = path + QStringLiteral("\\MSINFO32.EXE");
        if (m_files.exists(program) && m_processes.startDetached(program))
            return;
    }
    m_messages.inform(QString(), QStringLiteral("System Information Is Unavailable At This Time"));
}
