#include "platform/crashlog/CrashLog.h"

#include <QByteArray>
#include <QtGlobal>

#include <pthread.h>

#include <mutex>
#include <stdexcept>
#include <string>

namespace {

struct Notification
{
    JxNotifyCallback callback = nullptr;
    void *userData = nullptr;
};

enum NotificationKind {
    PasswordRequest,
    PasswordRequestEx,
    ExceptionNotify,
    HandledExceptionNotify,
    ExceptionActionNotify,
    ExceptionErrorNotify,
    CustomDataRequestEx,
    AttachedFilesRequest,
    CustomWebFieldsRequest,
    CustomButtonClick,
    NotificationCount
};

// Plain data only, so that the table needs no construction and no destruction at exit.
std::mutex g_notificationsLock;
Notification g_notifications[NotificationCount];

void registerNotification(NotificationKind kind, JxNotifyCallback callback, void *userData)
{
    const std::lock_guard lock(g_notificationsLock);
    g_notifications[kind] = {callback, callback ? userData : nullptr};
}

Notification notification(NotificationKind kind)
{
    const std::lock_guard lock(g_notificationsLock);
    return g_notifications[kind];
}

class TExceptionManager final : public JxExceptionManager
{
public:
    void handle(std::exception_ptr error) override
    {
        if (error)
            report(ExceptionText(error).toUtf8());
    }

    void handle(const char *message) override { report(QByteArray(message ? message : "")); }

private:
    static void report(const QByteArray &message)
    {
        // Called outside the lock: the callback may register callbacks itself.
        const Notification target = notification(ExceptionNotify);
        if (target.callback)
            target.callback(message.constData(), target.userData);
        else
            qCritical("Jointrix: unhandled error: %s", message.constData());
    }
};

} // namespace

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

void InitCrashLog()
{
    // The manager is built here, on load, rather than on first use from some handler.
    ExceptionManager();
}

extern "C" {

int EurekaLog_CallCreateThread(void *thread, const void *attributes, void *(*start)(void *),
                               void *arg)
{
    return pthread_create(static_cast<pthread_t *>(thread),
                          static_cast<const pthread_attr_t *>(attributes), start, arg);
}

int EurekaLog_CallResumeThread(const void *)
{
    return 0;
}

void EurekaLog_CallExitThread(void *result)
{
    pthread_exit(result);
}

const char *EurekaLog_CallExceptObject()
{
    thread_local std::string text;
    const std::exception_ptr current = std::current_exception();
    if (!current)
        return nullptr;
    text = ExceptionText(current).toStdString();
    return text.c_str();
}

void EurekaLog_CallGeneralRaise(const char *message)
{
    throw std::runtime_error(message ? message : "");
}

JxExceptionManager *ExceptionManager()
{
    // Never destroyed: a handler may still report an error while the process exits.
    static auto *const manager = new TExceptionManager;
    return manager;
}

void EurekaLog_PasswordRequestEvent(JxNotifyCallback callback, void *userData)
{
    registerNotification(PasswordRequest, callback, userData);
}

void EurekaLog_PasswordRequestEventEx(JxNotifyCallback callback, void *userData)
{
    registerNotification(PasswordRequestEx, callback, userData);
}

void EurekaLog_ExceptionNotifyEvent(JxNotifyCallback callback, void *userData)
{
    registerNotification(ExceptionNotify, callback, userData);
}

void EurekaLog_HandledExceptionNotifyEvent(JxNotifyCallback callback, void *userData)
{
    registerNotification(HandledExceptionNotify, callback, userData);
}

void EurekaLog_ExceptionActionNotifyEvent(JxNotifyCallback callback, void *userData)
{
    registerNotification(ExceptionActionNotify, callback, userData);
}

void EurekaLog_ExceptionErrorNotifyEvent(JxNotifyCallback callback, void *userData)
{
    registerNotification(ExceptionErrorNotify, callback, userData);
}

void EurekaLog_CustomDataRequestEventEx(JxNotifyCallback callback, void *userData)
{
    registerNotification(CustomDataRequestEx, callback, userData);
}

void EurekaLog_AttachedFilesRequestEvent(JxNotifyCallback callback, void *userData)
{
    registerNotification(AttachedFilesRequest, callback, userData);
}

void EurekaLog_CustomWebFieldsRequestEvent(JxNotifyCallback callback, void *userData)
{
    registerNotification(CustomWebFieldsRequest, callback, userData);
}

void EurekaLog_CustomButtonClickEvent(JxNotifyCallback callback, void *userData)
{
    registerNotification(CustomButtonClick, callback, userData);
}

} // extern "C"
