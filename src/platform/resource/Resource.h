#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// The module's raw data resources: files embedded below the Qt resource folder
// ":/jointrix/rcdata/", found by name regardless of letter case.
namespace resource {

// The resource folder that rawData() looks in.
QString rawDataFolder();

// The bytes of the raw data resource called name ("jpg1" finds "JPG1"); nullopt when there is
// no such resource. A name with a path separator in it names nothing.
std::optional<QByteArray> rawData(QStringView name);

// A lookup asked before the embedded resources: what it gives is the resource, nothing lets
// the embedded one through. The tests put their own data there; the module installs none.
using Source = std::function<std::optional<QByteArray>(QStringView name)>;
// Installs `source` (an empty one means none) and returns the one it replaces.
Source setSource(Source source);

} // namespace resource
