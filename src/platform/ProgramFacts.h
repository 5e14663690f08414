#pragma once

#include <QString>

struct ProgramVersion
{
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// What the program knows about itself.
class IProgramFacts
{
public:
    virtual ~IProgramFacts() = default;
    // Where the save dialog first opens: the program's own folder when the user may write there.
    virtual QString folder() const = 0;
    virtual QString title() const = 0;
    virtual ProgramVersion version() const = 0;
    // The command line after the program's own name, as one string.
    virtual QString arguments() const = 0;
};

// "Glimmerbox v1.04" for 1.0.4: no point between minor version and revision.
QString titleWithVersion(const QString &title, const ProgramVersion &version);
