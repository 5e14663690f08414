#pragma once

#include <QString>

// Message boxes, asked for by what they are for. Texts use CR LF between lines; an empty title
// means the program's title.
class IMessageBox
{
public:
    virtual ~IMessageBox() = default;
    // Something went wrong, or cannot be done: an exclamation mark and OK.
    virtual void warn(const QString &title, const QString &text) = 0;
    // Something to read: OK alone.
    virtual void inform(const QString &title, const QString &text) = 0;
    // A question: Yes (the answer it starts on) or No.
    virtual bool ask(const QString &title, const QString &text) = 0;
};
