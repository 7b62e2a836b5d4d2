#pragma once

#include <QString>
#include <exception>
#include <string>

// An error whose message is meant for the user (Chinese text). Every error the program
// raises on purpose is one of these; the application-wide handler shows its message.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// A database statement failed; the message carries the driver's text.
class DatabaseError : public AppError
{
public:
    using AppError::AppError;
};

// Ends the current user action without a message; the event loop swallows it.
// A record rule that fails raises it after showing its own box, naming the field.
class SilentAbort : public std::exception
{
public:
    explicit SilentAbort(QString field = {}) : m_field(std::move(field)) {}
    const QString& field() const noexcept { return m_field; }
    const char* what() const noexcept override { return "silent abort"; }

private:
    QString m_field;
};
