#include "platform/skin/SkinLinks.h"

#include "platform/skin/SkinData.h"

#include <QMetaProperty>
#include <QObject>
#include <QWidget>

namespace skin {

namespace {

TbsSkinData *storeNamed(QObject *root, const QString &name)
{
    if (auto *self = qobject_cast<TbsSkinData *>(root); self && self->objectName() == name)
        return self;
    return root->findChild<TbsSkinData *>(name);
}

void resolveObject(QObject *root, QObject *object, QStringList &missing)
{
    static const QMetaType StoreType = QMetaType::fromType<TbsSkinData *>();
    // QObject's and QWidget's own properties are never links: a form's tree has some forty
    // objects of sixty such properties each, looked at in every window built.
    const int firstOwn = object->isWidgetType() ? QWidget::staticMetaObject.propertyCount()
                                                : QObject::staticMetaObject.propertyCount();
    const QMetaObject *meta = object->metaObject();
    for (int i = firstOwn; i < meta->propertyCount(); ++i) {
        const QMetaProperty link = meta->property(i);
        if (link.metaType() != StoreType || !link.isWritable())
            continue;
        const QByteArray nameProperty = QByteArray(link.name()) + "Name";
        const int n = meta->indexOfProperty(nameProperty.constData());
        if (n < 0)
            continue;
        const QString name = meta->property(n).read(object).toString();
        if (name.isEmpty())
            continue;
        if (TbsSkinData *store = storeNamed(root, name))
            link.write(object, QVariant::fromValue(store));
        else
            missing.append(name);
    }
}

} // namespace

QStringList resolveLinks(QObject *root)
{
    QStringList missing;
    if (!root)
        return missing;
    resolveObject(root, root, missing);
    for (QObject *object : root->findChildren<QObject *>())
        resolveObject(root, object, missing);
    return missing;
}

} // namespace skin
