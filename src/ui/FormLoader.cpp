#include "ui/FormLoader.h"

#include "controls/LxEdit.h"
#include "platform/application/Lifetime.h"
#include "platform/panel/GroupBox.h"
#include "platform/panel/Panel.h"
#include "platform/skin/SkinButton.h"
#include "platform/skin/SkinData.h"
#include "platform/skin/SkinForm.h"
#include "platform/skin/SkinMessage.h"
#include "ui/RichEdit.h"

#include <QCoreApplication>

#include <array>

namespace {

using Maker = QWidget *(*)(QWidget *parent);

template<typename T> QWidget *make(QWidget *parent)
{
    return new T(parent);
}

struct Component
{
    const char *className;
    Maker maker;
};

const std::array<Component, 8> Components = {{
    {"TLxEdit", make<TLxEdit>},
    {"TRxRichEdit", make<TRxRichEdit>},
    {"TGroupBox", make<TGroupBox>},
    {"TPanel", make<TPanel>},
    {"TbsSkinButton", make<TbsSkinButton>},
    {"TbsSkinData", make<TbsSkinData>},
    {"TbsSkinMessage", make<TbsSkinMessage>},
    {"TbsBusinessSkinForm", make<TbsBusinessSkinForm>},
}};

FormLoader *g_shared = nullptr;

} // namespace

const QStringList &ComponentClassNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Component &component : Components)
            list << QLatin1String(component.className);
        return list;
    }();
    return names;
}

QWidget *CreateComponent(const QString &className, QWidget *parent)
{
    for (const Component &component : Components) {
        if (className == QLatin1String(component.className))
            return component.maker(parent);
    }
    return nullptr;
}

std::unique_ptr<FormLoader> FormLoader::make()
{
    // With no library paths while it is made it finds no plugins; the host's paths are put
    // back at once.
    const QStringList libraryPaths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    std::unique_ptr<FormLoader> loader(new FormLoader);
    QCoreApplication::setLibraryPaths(libraryPaths);
    loader->clearPluginPaths();
    return loader;
}

FormLoader &FormLoader::shared()
{
    if (!g_shared) {
        g_shared = make().release();
        lifetime::atRelease(lifetime::Stage::FormLoader, releaseShared);
    }
    return *g_shared;
}

void FormLoader::releaseShared()
{
    delete g_shared;
    g_shared = nullptr;
}

QWidget *FormLoader::load(QIODevice *device, QWidget *root, const QString &rootClass)
{
    m_root = root;
    m_rootClass = rootClass;
    QWidget *built = QUiLoader::load(device);
    m_root = nullptr;
    m_rootClass.clear();
    return built;
}

QWidget *FormLoader::createWidget(const QString &className, QWidget *parent, const QString &name)
{
    QWidget *widget = nullptr;
    if (!parent && m_root && className == m_rootClass) {
        // Only the first widget without a parent is the root.
        widget = m_root;
        m_root = nullptr;
    } else {
        widget = CreateComponent(className, parent);
    }
    if (!widget)
        return QUiLoader::createWidget(className, parent, name);
    widget->setObjectName(name);
    return widget;
}
