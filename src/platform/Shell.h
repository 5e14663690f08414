#pragma once

#include <QString>

class QWidget;

// The desktop's own way of opening things: a web address goes to the user's browser.
class IShell
{
public:
    virtual ~IShell() = default;
    // Hands the address over and returns at once; whether a browser opened is not known. The
    // owner is the window whatever the desktop has to show about it belongs to.
    virtual void openUrl(const QString &url, QWidget *owner) = 0;
};

// Starts another program as a process of its own that this one does not wait for.
class IProcessLauncher
{
public:
    virtual ~IProcessLauncher() = default;
    // False when the program could not be started (for instance, no such file).
    virtual bool startDetached(const QString &program) = 0;
};

// The system's own shell and process start; one implementation per system.
class SystemShell final : public IShell
{
public:
    void openUrl(const QString &url, QWidget *owner) override;
};

class SystemProcessLauncher final : public IProcessLauncher
{
public:
    bool startDetached(const QString &program) override;
};
