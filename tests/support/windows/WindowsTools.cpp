#include "WindowsTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <windows.h>

#include <sddl.h>

namespace WindowsTools {

Result reg(const QStringList &args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral("reg"), args);
    Result result;
    if (!tool.waitForFinished(30000)) {
        tool.kill();
        tool.waitForFinished();
        result.output = QStringLiteral("reg did not finish: ") + tool.errorString();
        return result;
    }
    result.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    result.output = QString::fromLocal8Bit(tool.readAll()).trimmed();
    return result;
}

bool setMachineString(const QString &key, const QString &name, const QByteArray &bytes)
{
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.toLocal8Bit().constData(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const bool set = ::RegSetValueExA(opened, name.toLocal8Bit().constData(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE *>(bytes.constData()),
                                      DWORD(bytes.size())) == ERROR_SUCCESS;
    ::RegCloseKey(opened);
    return set;
}

bool setUserKeyAccess(const QString &key, const QString &sddl)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.toStdWString().c_str(), 0, WRITE_DAC, &opened) !=
        ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool set = ::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        sddl.toStdWString().c_str(), SDDL_REVISION_1, &descriptor, nullptr);
    if (set)
        set = ::RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    ::LocalFree(descriptor);
    ::RegCloseKey(opened);
    return set;
}

bool runsUnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

KeptKey::KeptKey(const QString &key, const QString &folder)
    : m_key(key)
    , m_copy(QDir::toNativeSeparators(
          QDir(folder).filePath(QString::number(qHash(key)) + QStringLiteral(".reg"))))
{
    m_existed = reg({QStringLiteral("export"), m_key, m_copy, QStringLiteral("/y")}).exitCode == 0;
}

KeptKey::~KeptKey()
{
    reg({QStringLiteral("delete"), m_key, QStringLiteral("/f")});
    if (m_existed)
        reg({QStringLiteral("import"), m_copy});
}

QString probeProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("probe.exe"));
}

QList<ProbeStart> probeStarts(const QString &log)
{
    QFile file(log);
    QList<ProbeStart> starts;
    if (!file.open(QIODevice::ReadOnly))
        return starts;
    // Only complete lines: the probe may be writing one now.
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QStringList fields = QString::fromUtf8(lines[i]).split(QLatin1Char('\t'));
        if (fields.size() != 4)
            continue;
        starts.append({fields[0], fields[1], fields[2], fields[3].toInt()});
    }
    return starts;
}

} // namespace WindowsTools
