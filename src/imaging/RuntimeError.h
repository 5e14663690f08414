#pragma once

#include <QString>

#include <stdexcept>

// An error raised to the calling command, with the number, source and description that the
// command's error handler shows or passes on.
class RuntimeError : public std::runtime_error
{
public:
    RuntimeError(int number, QString source, QString description)
        : std::runtime_error(description.toStdString())
        , m_number(number)
        , m_source(std::move(source))
        , m_description(std::move(description))
    {}

    int number() const { return m_number; }
    const QString &source() const { return m_source; }
    const QString &description() const { return m_description; }

    static constexpr int Overflow = 6;
    static constexpr int PathFileAccessError = 75;

private:
    int m_number;
    QString m_source;
    QString m_description;
};
