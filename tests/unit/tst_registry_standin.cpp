// Where there is no registry (Linux): the stand-in that answers the System Information tool's
// first location with a system-information program on the PATH, and the program's platform
// handing it out.

#include "Fakes.h"
#include "dialogs/SystemInfo.h"
#include "platform/RegistryStandIn.h"
#include "platform/qt/QtServices.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Location1 = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString Location2 = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

} // namespace

class tst_RegistryStandIn : public QObject
{
    Q_OBJECT

private slots:
    void findsASystemInformationProgram();
    void thePlatformHandsOutARegistry();
};

void tst_RegistryStandIn::findsASystemInformationProgram()
{
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()));
    RegistryStandIn registry;
    FakeProcesses processes;
    FakeFiles files;
    FakeMessageBox messages;
    SystemInfo info(registry, processes, files, messages);
    QString value;
    QVERIFY(
        !info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, Location1, QStringLiteral("PATH"), value));

    const QString tool = bin.filePath(QStringLiteral("hardinfo"));
    QFile script(tool);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexit 0\n");
    script.close();
    QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(
        info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, Location1, QStringLiteral("PATH"), value));
    QCOMPARE(value, tool);
    QVERIFY(!info.GetKeyValue(IRegistry::HKEY_LOCAL_MACHINE, Location2, QStringLiteral("MSINFO"),
                              value));
    qputenv("PATH", path);
}

void tst_RegistryStandIn::thePlatformHandsOutARegistry()
{
    // The About box's System Info button reads through it.
    QtPlatform platform({QStringLiteral("glimmerbox")});
    QVERIFY(platform.services().registry != nullptr);
}

QTEST_MAIN(tst_RegistryStandIn)
#include "tst_registry_standin.moc"
