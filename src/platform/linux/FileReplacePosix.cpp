#include "platform/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool syncPath(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), flags);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

mode_t newFileMode()
{
    // What a file created the ordinary way would get: 0666 less the umask.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

Result<> replaceFileSafely(const QString &target, const IFiles::Writer &writer)
{
    const QByteArray targetPath = QFile::encodeName(target);
    struct stat old = {};
    const bool existed = ::stat(targetPath.constData(), &old) == 0;
    if (existed) {
        if (!S_ISREG(old.st_mode))
            return Failure{systemError(EISDIR)};
        // Read-only means read-only, also for an administrator the system would let through.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::access(targetPath.constData(), W_OK) != 0)
            return Failure{systemError(EACCES)};
    }

    const QFileInfo info(target);
    QTemporaryFile temporary(info.absolutePath() + QStringLiteral("/.glimmerbox-XXXXXX.tmp"));
    temporary.setAutoRemove(false);
    if (!temporary.open())
        return Failure{temporary.errorString()};
    const QString temporaryName = temporary.fileName();
    const QByteArray temporaryPath = QFile::encodeName(temporaryName);
    temporary.close();
    bool replaced = false;
    const auto removeTemporary = qScopeGuard([&] {
        if (!replaced)
            ::unlink(temporaryPath.constData());
    });

    if (Result<> written = writer(temporaryName); !written)
        return written;
    // The new file must be on the disk before it takes the old one's name.
    if (!syncPath(temporaryPath, O_RDONLY))
        return Failure{systemError(errno)};

    if (existed) {
        if (::chmod(temporaryPath.constData(), old.st_mode & 07777) != 0)
            return Failure{systemError(errno)};
        // Keep the owner where we may (an administrator saving over a user's file); a file
        // that ends up ours is no reason to fail the save.
        if (::geteuid() == 0 && ::chown(temporaryPath.constData(), old.st_uid, old.st_gid) != 0) {
        }
        const struct timespec times[2] = {old.st_atim, old.st_mtim};
        if (::utimensat(AT_FDCWD, temporaryPath.constData(), times, 0) != 0)
            return Failure{systemError(errno)};
    } else if (::chmod(temporaryPath.constData(), newFileMode()) != 0) {
        return Failure{systemError(errno)};
    }

    if (::rename(temporaryPath.constData(), targetPath.constData()) != 0)
        return Failure{systemError(errno)};
    replaced = true;
    syncPath(QFile::encodeName(info.absolutePath()), O_RDONLY | O_DIRECTORY);
    return {};
}
