#include "ProgramFacts.h"

QString titleWithVersion(const QString &title, const ProgramVersion &version)
{
    return QStringLiteral("%1 v%2.%3%4")
        .arg(title)
        .arg(version.major)
        .arg(version.minor)
        .arg(version.revision);
}
