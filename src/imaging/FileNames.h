#pragma once

#include <QString>

// File names as the save dialog returns them, with backslashes or slashes between folders.

// The path cut before its last full stop (anywhere in the path); unchanged without one.
QString stripExtension(const QString &path);
// The path without one trailing backslash (or slash).
QString stripTrailingSeparator(const QString &path);
// Everything up to and including the last backslash (or slash), after one trailing one is
// ignored; empty when there is none.
QString folderOfPath(const QString &path);
// The name a file of the chosen type is written under: the returned name without its extension,
// then the type's.
QString writtenFileName(const QString &returned, const QString &extension);
