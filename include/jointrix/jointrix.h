#pragma once

// Jointrix, the weld-connection capacity calculator, as a plug-in module (libjointrix.so).
//
// What a host must do:
// - Be a Qt Widgets program built against the same Qt 6 as the module (one QtCore, QtGui and
//   QtWidgets in the process), with a QApplication alive while the tool is shown.
// - Load the module with dlopen() and look the calls up with dlsym(); call them only on the
//   thread that runs the QApplication's event loop, one at a time.
// - Use the shared memory manager libjointrix-sharemem.so for its own C++ heap (operator new
//   and delete): the window is allocated by the module but may be destroyed through the
//   host's application object.
// - Call FreeForm(), then let the event loop run once more (the window is released by a
//   posted event), before it unloads the module. A window still open at that point belongs to
//   the host's application object and is destroyed with it.
// - Expect errors of LxToolShow() as C++ exceptions thrown out of the call; the module catches
//   none of them.
//
// The module keeps its own code mapped after dlclose() (it is linked with -z nodelete): Qt
// keeps pointers into it. Its Qt objects are released when the QApplication is destroyed.

#ifdef __cplusplus
#include <exception>
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define JOINTRIX_CALL __stdcall
#else
#define JOINTRIX_CALL
#endif

#if defined(__GNUC__)
#define JOINTRIX_EXPORT __attribute__((visibility("default")))
#else
#define JOINTRIX_EXPORT
#endif

#ifdef __cplusplus
class QObject;
class QWidget;

// The module's exception manager: where the window's handlers hand the errors that would
// otherwise escape into the event loop.
class JxExceptionManager
{
public:
    virtual ~JxExceptionManager() = default;
    // Reports the error: to the callback registered with EurekaLog_ExceptionNotifyEvent when
    // there is one, otherwise as a critical Qt message. A null pointer reports nothing.
    virtual void handle(std::exception_ptr error) = 0;
    // The same for an error known only by its text (UTF-8).
    virtual void handle(const char *message) = 0;
};

extern "C" {
#else
typedef struct QObject QObject;
typedef struct QWidget QWidget;
typedef struct JxExceptionManager JxExceptionManager;
#endif

// --- The tool ------------------------------------------------------------------------------

// Builds a new calculator window, owned by `application` (the host's QApplication, or any
// QObject whose destruction should end the window), as a borderless child of `container` at
// 0, 0, sized to the width of `sizeControl` minus 199 and its height minus 122 (read once, at
// least 0), and shows it. The container gets a native window first. Each call builds a new
// window; the module remembers only the newest. Arguments are not checked.
JOINTRIX_EXPORT void JOINTRIX_CALL LxToolShow(QObject *application, QWidget *sizeControl,
                                              QWidget *container);
// Asks the newest window to close. It is released when the event loop next runs, after this
// call has returned. Does nothing before the first LxToolShow() and for a window already gone.
JOINTRIX_EXPORT void JOINTRIX_CALL FreeForm(void);

typedef void(JOINTRIX_CALL *JxLxToolShowFunc)(QObject *, QWidget *, QWidget *);
typedef void(JOINTRIX_CALL *JxFreeFormFunc)(void);

// --- Crash reporting -----------------------------------------------------------------------
// A host may use these; nothing in the module depends on it doing so.

// pthread_create() for a host that wants its threads known to the crash reporting. Returns
// pthread_create()'s result; `thread` receives the pthread_t.
JOINTRIX_EXPORT int JOINTRIX_CALL EurekaLog_CallCreateThread(void *thread, const void *attributes,
                                                             void *(*start)(void *), void *arg);
// Threads here start running when created, so there is nothing to resume: `thread` (a
// pthread_t *) is not used and the result is 0.
JOINTRIX_EXPORT int JOINTRIX_CALL EurekaLog_CallResumeThread(const void *thread);
// pthread_exit(result); does not return.
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_CallExitThread(void *result);
// The text (UTF-8) of the exception being handled on this thread, or null outside a handler.
// The text stays valid until the next call on the same thread.
JOINTRIX_EXPORT const char *JOINTRIX_CALL EurekaLog_CallExceptObject(void);
// Throws a std::runtime_error with `message` (UTF-8; null gives an empty text).
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_CallGeneralRaise(const char *message);
// The module's exception manager; never null, lives as long as the process.
JOINTRIX_EXPORT JxExceptionManager *JOINTRIX_CALL ExceptionManager(void);

// A notification callback: `message` is the error's text (UTF-8), `userData` what was given
// when registering. Its result is ignored except where a registration call says otherwise.
typedef int(JOINTRIX_CALL *JxNotifyCallback)(const char *message, void *userData);

// Each of the following registers one callback, replacing the previous one; a null callback
// clears it. Registration is thread-safe.
// Called by the exception manager for every error it is handed, in place of the log line.
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_ExceptionNotifyEvent(JxNotifyCallback callback,
                                                                  void *userData);
// The others are kept for the host and never called: the module sends no reports, asks no
// passwords, attaches nothing and shows no dialogs of its own.
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_PasswordRequestEvent(JxNotifyCallback callback,
                                                                  void *userData);
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_PasswordRequestEventEx(JxNotifyCallback callback,
                                                                    void *userData);
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_HandledExceptionNotifyEvent(JxNotifyCallback callback,
                                                                         void *userData);
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_ExceptionActionNotifyEvent(JxNotifyCallback callback,
                                                                        void *userData);
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_ExceptionErrorNotifyEvent(JxNotifyCallback callback,
                                                                       void *userData);
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_CustomDataRequestEventEx(JxNotifyCallback callback,
                                                                      void *userData);
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_AttachedFilesRequestEvent(JxNotifyCallback callback,
                                                                       void *userData);
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_CustomWebFieldsRequestEvent(JxNotifyCallback callback,
                                                                         void *userData);
JOINTRIX_EXPORT void JOINTRIX_CALL EurekaLog_CustomButtonClickEvent(JxNotifyCallback callback,
                                                                    void *userData);

#ifdef __cplusplus
} // extern "C"
#endif
