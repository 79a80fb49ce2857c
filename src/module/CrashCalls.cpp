// The module's exported crash calls: the hosts' names for the crash reporting of
// platform/crashlog.

#include "module/CrashCalls.h"

#include "jointrix/jointrix.h"
#include "platform/crashlog/CrashLog.h"

#include <pthread.h>

#include <stdexcept>

namespace {

class TExceptionManager final : public JxExceptionManager
{
public:
    void handle(std::exception_ptr error) override { crashlog::handle(error); }
    void handle(const char *message) override { crashlog::handle(message); }
};

} // namespace

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
    return crashlog::currentExceptionText();
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
    crashlog::registerNotification(crashlog::Notification::PasswordRequest, callback, userData);
}

void EurekaLog_PasswordRequestEventEx(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::PasswordRequestEx, callback, userData);
}

void EurekaLog_ExceptionNotifyEvent(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::ExceptionNotify, callback, userData);
}

void EurekaLog_HandledExceptionNotifyEvent(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::HandledExceptionNotify, callback,
                                   userData);
}

void EurekaLog_ExceptionActionNotifyEvent(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::ExceptionActionNotify, callback,
                                   userData);
}

void EurekaLog_ExceptionErrorNotifyEvent(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::ExceptionErrorNotify, callback,
                                   userData);
}

void EurekaLog_CustomDataRequestEventEx(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::CustomDataRequestEx, callback, userData);
}

void EurekaLog_AttachedFilesRequestEvent(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::AttachedFilesRequest, callback,
                                   userData);
}

void EurekaLog_CustomWebFieldsRequestEvent(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::CustomWebFieldsRequest, callback,
                                   userData);
}

void EurekaLog_CustomButtonClickEvent(JxNotifyCallback callback, void *userData)
{
    crashlog::registerNotification(crashlog::Notification::CustomButtonClick, callback, userData);
}

} // extern "C"
