#include "platform/crashlog/CrashLog.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <mutex>
#include <string>

namespace crashlog {

namespace {

struct Registration
{
    NotifyCallback callback = nullptr;
    void *userData = nullptr;
};

constexpr std::size_t NotificationCount = std::size_t(Notification::CustomButtonClick) + 1;

// Plain data only, so that the table needs no construction and no destruction at exit.
std::mutex g_registrationsLock;
std::array<Registration, NotificationCount> g_registrations;

Registration registration(Notification kind)
{
    const std::lock_guard lock(g_registrationsLock);
    return g_registrations[std::size_t(kind)];
}

void report(const QByteArray &message)
{
    // Called outside the lock: the callback may register callbacks itself.
    const Registration target = registration(Notification::ExceptionNotify);
    if (target.callback)
        target.callback(message.constData(), target.userData);
    else
        qCritical("Jointrix: unhandled error: %s", message.constData());
}

} // namespace

void registerNotification(Notification kind, NotifyCallback callback, void *userData)
{
    const std::lock_guard lock(g_registrationsLock);
    g_registrations[std::size_t(kind)] = {callback, callback ? userData : nullptr};
}

void handle(const std::exception_ptr &error)
{
    if (error)
        report(ExceptionText(error).toUtf8());
}

void handle(const char *message)
{
    report(QByteArray(message ? message : ""));
}

const char *currentExceptionText()
{
    thread_local std::string text;
    const std::exception_ptr current = std::current_exception();
    if (!current)
        return nullptr;
    text = ExceptionText(current).toStdString();
    return text.c_str();
}

} // namespace crashlog

QString ExceptionText(const std::exception_ptr &error)
{
    if (!error)
        return {};
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}
