#include "FileNames.h"

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

} // namespace

QString stripExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? path : path.left(dot);
}

QString stripTrailingSeparator(const QString &path)
{
    if (!path.isEmpty() && isSeparator(path.back()))
        return path.left(path.size() - 1);
    return path;
}

QString folderOfPath(const QString &path)
{
    const QString stripped = stripTrailingSeparator(path);
    for (qsizetype i = stripped.size() - 1; i >= 0; --i)
        if (isSeparator(stripped[i]))
            return stripped.left(i + 1);
    return {};
}

// A full stop in a folder's name is not an extension: there the name is kept whole rather than
// cut back into the folder above.
QString writtenFileName(const QString &returned, const QString &extension)
{
    const QString stripped = stripExtension(returned);
    for (qsizetype i = stripped.size(); i < returned.size(); ++i)
        if (isSeparator(returned[i]))
            return returned + extension;
    return stripped + extension;
}
