#include "FileFacts.h"

#include <QFile>

#include <sys/stat.h>

namespace {

std::int64_t nanoseconds(const struct timespec &time)
{
    return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}

} // namespace

FileFacts FileFacts::of(const QString &path)
{
    struct stat info = {};
    FileFacts facts;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return facts;
    facts.exists = true;
    facts.permissions = info.st_mode;
    facts.modified = nanoseconds(info.st_mtim);
    facts.accessed = nanoseconds(info.st_atim);
    facts.identity =
        QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
    return facts;
}

QString readOnlyRefusal()
{
    return QStringLiteral("Permission denied"); // the C library's words for EACCES
}
