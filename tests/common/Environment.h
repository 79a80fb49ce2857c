#pragma once

#include <QProcessEnvironment>
#include <QStringList>

// The environment of a program a test starts: `base` with `changes` made, each "NAME=value" to
// set or "-NAME" to remove.
inline QProcessEnvironment environmentWith(const QStringList &changes,
                                           QProcessEnvironment base
                                           = QProcessEnvironment::systemEnvironment())
{
    for (const QString &change : changes) {
        if (change.startsWith(QLatin1Char('-')))
            base.remove(change.mid(1));
        else
            base.insert(change.section(QLatin1Char('='), 0, 0),
                        change.section(QLatin1Char('='), 1));
    }
    return base;
}
