#include "Pdf.h"

#include "TestPattern.h"
#include "XTools.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace Pdf {

Info info(const QString &file)
{
    const XTools::Result r = XTools::run(QStringLiteral("pdfinfo"), {file});
    Info i;
    i.pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(r.out).captured(1).toInt();
    const auto size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(r.out);
    i.pageSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    i.rotation =
        QRegularExpression(QStringLiteral("Page rot:\\s+(\\d+)")).match(r.out).captured(1).toInt();
    return i;
}

QImage render(const QString &file, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    XTools::run(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), file, prefix},
                60000);
    return QImage(prefix + QStringLiteral(".png"));
}

QImage asLandscape(const QImage &page, const QImage &expectedTopLeft)
{
    if (page.width() > page.height())
        return page.convertToFormat(QImage::Format_RGB32);
    const QImage left =
        page.transformed(QTransform().rotate(-90)).convertToFormat(QImage::Format_RGB32);
    const QImage right =
        page.transformed(QTransform().rotate(90)).convertToFormat(QImage::Format_RGB32);
    const QRect corner(0, 0, std::min(200, expectedTopLeft.width()),
                       std::min(150, expectedTopLeft.height()));
    const QImage expected = expectedTopLeft.copy(corner);
    return TestPattern::meanDifference(left.copy(corner), expected) <
                   TestPattern::meanDifference(right.copy(corner), expected)
               ? left
               : right;
}

QList<QImage> images(const QString &file)
{
    QTemporaryDir dir;
    XTools::run(QStringLiteral("pdfimages"),
                {QStringLiteral("-png"), file, dir.filePath(QStringLiteral("img"))}, 60000);
    QList<QImage> result;
    const QStringList names =
        QDir(dir.path()).entryList({QStringLiteral("img*.png")}, QDir::Files, QDir::Name);
    for (const QString &name : names)
        result.append(QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32));
    return result;
}

QString outputFolder()
{
    return qEnvironmentVariable("GLIMMERBOX_TEST_PDF_DIR");
}

QStringList files()
{
    QStringList result;
    const QDir dir(outputFolder());
    for (const QString &name : dir.entryList({QStringLiteral("*.pdf")}, QDir::Files))
        result.append(dir.filePath(name));
    return result;
}

int jobCount()
{
    const XTools::Result r =
        XTools::run(QStringLiteral("lpstat"),
                    {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")});
    return int(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

QString waitForNew(const QStringList &before, int timeoutMs)
{
    QString found;
    XTools::waitFor(
        [&] {
            for (const QString &f : files()) {
                if (before.contains(f))
                    continue;
                // Complete once the spooler has nothing left to do.
                const XTools::Result pending =
                    XTools::run(QStringLiteral("lpstat"), {QStringLiteral("-o")});
                if (!pending.out.trimmed().isEmpty())
                    return false;
                if (Pdf::info(f).pages > 0) {
                    found = f;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

} // namespace Pdf
