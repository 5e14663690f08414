#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The save-file dialog with the options the save command sets.
struct SaveFileRequest
{
    QString title;
    QString fileName;      // initial name
    QString initialFolder; // initial folder
    QString filter;        // "Name (*.ext)|*.ext|Name2 (*.x)|*.x"
    int filterIndex = 1;   // 1-based
    QString defaultExt;
};

struct SaveFileResult
{
    bool cancelled = true;
    QString fileName; // the chosen full path
    int filterIndex = 1;
};

class IFileDialogs
{
public:
    virtual ~IFileDialogs() = default;
    virtual SaveFileResult showSave(const SaveFileRequest &request) = 0;
};
