#pragma once

#include <QStringList>
#include <QUiLoader>

#include <memory>

// The classes of the project's own that a form description may name, beyond Qt's.
const QStringList &ComponentClassNames();

// Makes the component of one of ComponentClassNames() as a child of `parent`, or returns
// nullptr for any other class. Every builder of forms (the window's loader, the tests' loaders,
// the designer plugin) makes components here, so a class added once is known to all of them.
QWidget *CreateComponent(const QString &className, QWidget *parent);

// Builds form descriptions with the project's components. A root of the class `rootClass`
// given to load() is the widget being built instead of a new one.
class FormLoader final : public QUiLoader
{
public:
    // A loader that looks for no designer plugins: a plain QUiLoader loads every one installed
    // in the library paths' "designer" folders (one pulls in Qt Quick: many megabytes and a
    // slow first window), though no description of ours uses one.
    static std::unique_ptr<FormLoader> make();

    // The loader of the module's windows, made on first use. Released by releaseShared(),
    // which the module's clean-up calls; the next use makes a new one.
    static FormLoader &shared();
    static void releaseShared();

    // Builds the description in `device`; its root, of class `rootClass`, is `root` itself.
    QWidget *load(QIODevice *device, QWidget *root, const QString &rootClass);
    using QUiLoader::load;

    QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override;

private:
    FormLoader() = default;

    QWidget *m_root = nullptr;
    QString m_rootClass;
};
