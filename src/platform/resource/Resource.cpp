#include "platform/resource/Resource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

std::optional<QByteArray> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

QString rawDataFolder()
{
    return QStringLiteral(":/jointrix/rcdata/");
}

std::optional<QByteArray> rawData(QStringView name)
{
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\'))
        return std::nullopt;

    {
        Overrides &o = overrides();
        const QMutexLocker lock(&o.mutex);
        const auto found = o.data.constFind(key(name));
        if (found != o.data.constEnd())
            return *found;
    }

    // Resource paths match exactly, so try the name as given first and only then look
    // through the folder for a name that differs in letter case.
    const QString folder = rawDataFolder();
    const QString exact = folder + name;
    if (QFileInfo(exact).isFile())
        return readFile(exact);
    const QStringList entries = QDir(folder).entryList(QDir::Files);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return readFile(folder + entry);
    }
    return std::nullopt;
}

void setRawDataOverride(const QString &name, const QByteArray &data)
{
    Overrides &o = overrides();
    const QMutexLocker lock(&o.mutex);
    o.data.insert(key(name), data);
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
