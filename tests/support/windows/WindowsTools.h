#pragma once

#include <QString>
#include <QStringList>

// What the Windows-only tests need from the system around the program: its reg tool, a way to
// tell Wine from Windows, and the probe program that stands in for the programs Glimmerbox
// starts.
namespace WindowsTools {

struct Result
{
    int exitCode = -1;
    QString output;
};

// Runs the system's reg tool (reg add, reg delete, reg export, reg import) and waits for it.
Result reg(const QStringList &args);

// Stores bytes as a string value below HKEY_LOCAL_MACHINE through the system's 8-bit call,
// exactly as given: reg add always adds the terminating zero, this adds nothing.
bool setMachineString(const QString &key, const QString &name, const QByteArray &bytes);

// Gives a key below HKEY_CURRENT_USER the access list that the SDDL text describes; the key's
// owner may always change it again.
bool setUserKeyAccess(const QString &key, const QString &sddl);

// Whether this runs under Wine rather than Windows: Wine's ntdll exports its version.
bool runsUnderWine();

// A registry key as it was before a test, put back when this goes: the tests change keys that
// belong to the machine (the System Information tool's entries, URL associations).
class KeptKey
{
public:
    // key in reg's notation, e.g. HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO; the copy is kept
    // in folder.
    KeptKey(const QString &key, const QString &folder);
    ~KeptKey();
    KeptKey(const KeptKey &) = delete;
    KeptKey &operator=(const KeptKey &) = delete;

private:
    QString m_key;
    QString m_copy;
    bool m_existed = false;
};

// The probe (tests/windows/probe.cpp) appends one line per start to the file that the variable
// GLIMMERBOX_PROBE_LOG names: its own path, its command line, its working folder and the show
// state it was given.
struct ProbeStart
{
    QString program;
    QString commandLine;
    QString folder;
    int showState = -1; // -1: none given
};

QString probeProgram(); // the probe beside the test programs
QList<ProbeStart> probeStarts(const QString &log);

} // namespace WindowsTools
