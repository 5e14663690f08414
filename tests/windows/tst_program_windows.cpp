// glimmerbox.exe as Windows sees the file: the icon that Explorer and the task bar show, and the
// version in the file's properties, the one CMake's project() gives the program.

#include "BuildConfig.h"

#include <QImage>
#include <QtTest>

#include <windows.h>

#include <string>

namespace {

const std::wstring Program = QStringLiteral(GLIMMERBOX_EXE).toStdWString();

QString versionString(const QByteArray &info, const wchar_t *name)
{
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void *value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.constData(), path.c_str(), &value, &length) || !length)
        return {};
    return QString::fromWCharArray(static_cast<const wchar_t *>(value)).trimmed();
}

} // namespace

class tst_ProgramWindows : public QObject
{
    Q_OBJECT

private slots:
    void theIconIsTheProgramIcon();
    void theVersionIsTheProjectVersion();
};

void tst_ProgramWindows::theIconIsTheProgramIcon()
{
    const HMODULE module = ::LoadLibraryExW(
        Program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    QVERIFY2(module, qPrintable(QString::fromStdWString(Program)));
    // The name Qt looks up for its windows' class icon.
    const auto icon = static_cast<HICON>(::LoadImageW(module, L"IDI_ICON1", IMAGE_ICON, 32, 32, 0));
    QVERIFY(icon);
    const QImage shown = QImage::fromHICON(icon).convertToFormat(QImage::Format_ARGB32);
    ::DestroyIcon(icon);
    ::FreeLibrary(module);
    const QImage expected = QImage(QStringLiteral(":/glimmerbox/glimmerbox.png"))
                                .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), QSize(32, 32));
    QCOMPARE(expected.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb a = shown.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            // Transparent pixels are a mask in the icon: their colour does not count.
            const bool same = qAlpha(a) == qAlpha(b) && (qAlpha(a) == 0 || a == b);
            QVERIFY2(same, qPrintable(QStringLiteral("pixel %1,%2: %3 instead of %4")
                                          .arg(x)
                                          .arg(y)
                                          .arg(a, 8, 16)
                                          .arg(b, 8, 16)));
        }
    }
}

void tst_ProgramWindows::theVersionIsTheProjectVersion()
{
    const DWORD size = ::GetFileVersionInfoSizeW(Program.c_str(), nullptr);
    QVERIFY(size > 0);
    QByteArray info(qsizetype(size), '\0');
    QVERIFY(::GetFileVersionInfoW(Program.c_str(), 0, size, info.data()));
    void *value = nullptr;
    UINT length = 0;
    QVERIFY(::VerQueryValueW(info.constData(), L"\\", &value, &length));
    const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
    QCOMPARE(HIWORD(fixed->dwFileVersionMS), WORD(GLIMMERBOX_VERSION_MAJOR));
    QCOMPARE(LOWORD(fixed->dwFileVersionMS), WORD(GLIMMERBOX_VERSION_MINOR));
    QCOMPARE(HIWORD(fixed->dwFileVersionLS), WORD(GLIMMERBOX_VERSION_PATCH));
    QCOMPARE(fixed->dwFileType, DWORD(VFT_APP));
    QCOMPARE(versionString(info, L"ProductName"), QStringLiteral("Glimmerbox"));
    QCOMPARE(versionString(info, L"ProductVersion"), QStringLiteral(GLIMMERBOX_VERSION_STRING));
    QCOMPARE(versionString(info, L"OriginalFilename"), QStringLiteral("glimmerbox.exe"));
}

QTEST_MAIN(tst_ProgramWindows)
#include "tst_program_windows.moc"
