#pragma once

#include <QString>

// Message boxes in the three styles the program uses. Texts use CR LF between lines.
class IMessageBox
{
public:
    enum Style
    {
        OkOnly = 0,
        YesNo = 4,
        Exclamation = 48
    };
    enum Answer
    {
        Ok = 1,
        Yes = 6,
        No = 7
    };

    virtual ~IMessageBox() = default;
    // An empty title means the program's title.
    virtual int show(const QString &text, int style, const QString &title) = 0;
};
