#pragma once

#include <QString>

#include <optional>
#include <utility>

// Why something did not happen, in words a user can read ("the printer is out of paper").
struct Failure
{
    QString reason;
};

// What every step from the grab to the printer and the file writers gives back: its value, or
// the reason it has none. Result<> is a step with no value of its own.
template<typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {}
    Result(Failure failure)
        : m_reason(std::move(failure.reason))
    {}

    explicit operator bool() const { return m_value.has_value(); }
    const T &operator*() const { return *m_value; }
    T &operator*() { return *m_value; }
    const T *operator->() const { return &*m_value; }
    // Empty when there is a value.
    const QString &reason() const { return m_reason; }

private:
    std::optional<T> m_value;
    QString m_reason;
};

template<> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_failed(true)
        , m_reason(std::move(failure.reason))
    {}

    explicit operator bool() const { return !m_failed; }
    const QString &reason() const { return m_reason; }

private:
    bool m_failed = false;
    QString m_reason;
};
