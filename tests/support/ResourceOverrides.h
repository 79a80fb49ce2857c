#pragma once

#include <QByteArray>
#include <QString>

// The tests' own raw data: from now on resource::rawData(name) gives `data` instead of the
// embedded bytes (any letter case of name; data may be empty, which is then an empty resource,
// not a missing one).
namespace resource {

void setRawDataOverride(const QString &name, const QByteArray &data);
// Removes one override, or all of them.
void clearRawDataOverride(const QString &name);
void clearRawDataOverrides();

} // namespace resource
