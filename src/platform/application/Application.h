#pragma once

#include <QObject>

// The framework's application object as the module's code sees it. The module starts with an
// object of its own; while the tool is shown the current one is the host's (its QApplication),
// which then owns the windows. Components that live as long as the module are children of the
// module's own object and are released with it.

class TApplication : public QObject
{
    Q_OBJECT

public:
    explicit TApplication(QObject *parent = nullptr);
    ~TApplication() override;
};

// The current application object; null before the module's load has created its own.
QObject *Application();
void SetApplication(QObject *application);

// The module's own application object, null before the load and after the clean-up. Parent
// module-wide components to it.
TApplication *ModuleApplication();
void SetModuleApplication(TApplication *application);
