#include "platform/resource/Resource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <utility>

namespace resource {

namespace {

struct InstalledSource
{
    QMutex mutex;
    Source source;
};

InstalledSource &installed()
{
    static InstalledSource instance;
    return instance;
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

    Source source;
    {
        InstalledSource &i = installed();
        const QMutexLocker lock(&i.mutex);
        source = i.source;
    }
    if (source) {
        if (std::optional<QByteArray> data = source(name))
            return data;
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

Source setSource(Source source)
{
    InstalledSource &i = installed();
    const QMutexLocker lock(&i.mutex);
    return std::exchange(i.source, std::move(source));
}

} // namespace resource
