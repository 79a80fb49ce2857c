#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// The module's raw data resources: files embedded below the Qt resource folder
// ":/jointrix/rcdata/", found by name regardless of letter case.
namespace resource {

// The resource folder that rawData() looks in.
QString rawDataFolder();

// The bytes of the raw data resource called name ("jpg1" finds "JPG1"); nullopt when there is
// no such resource. A name with a path separator in it names nothing.
std::optional<QByteArray> rawData(QStringView name);

// Test hook: from now on rawData(name) gives data instead of the embedded bytes (any letter
// case of name; data may be empty, which is then an empty resource, not a missing one).
void setRawDataOverride(const QString &name, const QByteArray &data);
// Removes one override, or all of them.
void clearRawDataOverride(const QString &name);
void clearRawDataOverrides();

} // namespace resource
