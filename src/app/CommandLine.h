#pragma once

#include <QStringList>

// What the command line asks for. "/A" in any case, or --auto-dump, starts in Auto-Dump mode;
// --print-screen prints the screen once and ends; --help and --version answer and end; anything
// else starts the program as usual.
struct CommandLine
{
    enum Action
    {
        Run,
        PrintScreen,
        Help,
        Version
    };
    Action action = Run;
    // What the program goes on with: its own name, then "/A" for Auto-Dump mode.
    QStringList arguments;

    // Windows programs also take "/?" for help.
    static CommandLine parse(const QStringList &arguments, bool windows);
    // The usage text, or "Glimmerbox 1.0.4".
    QString answer() const;
};
