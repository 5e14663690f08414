#pragma once

#include <QString>

#include <stdexcept>

// An error raised to the calling command, whose handler shows its description.
class RuntimeError : public std::runtime_error
{
public:
    explicit RuntimeError(QString description)
        : std::runtime_error(description.toStdString())
        , m_description(std::move(description))
    {}

    const QString &description() const { return m_description; }

private:
    QString m_description;
};
