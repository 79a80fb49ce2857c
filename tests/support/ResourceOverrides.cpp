#include "support/ResourceOverrides.h"

#include "platform/resource/Resource.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace resource {

namespace {

struct Overrides
{
    QMutex mutex;
    QHash<QString, QByteArray> data; // by case-folded name
};

Overrides &overrides()
{
    static Overrides instance;
    return instance;
}

QString key(QStringView name)
{
    return name.toString().toCaseFolded();
}

std::optional<QByteArray> overridden(QStringView name)
{
    Overrides &o = overrides();
    const QMutexLocker lock(&o.mutex);
    const auto found = o.data.constFind(key(name));
    if (found == o.data.constEnd())
        return std::nullopt;
    return *found;
}

} // namespace

void setRawDataOverride(const QString &name, const QByteArray &data)
{
    Overrides &o = overrides();
    const QMutexLocker lock(&o.mutex);
    o.data.insert(key(name), data);
    // Installed with the first override; it asks the table, so clearing needs no removal.
    static const bool installed = [] {
        setSource(overridden);
        return true;
    }();
    Q_UNUSED(installed);
}

void clearRawDataOverride(const QString &name)
{
    Overrides &o = overrides();
    const QMutexLocker lock(&o.mutex);
    o.data.remove(key(name));
}

void clearRawDataOverrides()
{
    Overrides &o = overrides();
    const QMutexLocker lock(&o.mutex);
    o.data.clear();
}

} // namespace resource
