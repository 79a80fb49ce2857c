#pragma once

#include <QFileDevice>
#include <QString>

#include <memory>

// A file written whole or not at all. A regular file, or one that does not exist yet, is
// written through a QSaveFile and replaces the old one only when commit() succeeds. Anything
// else that exists is written in place: renaming a finished file over a device or a pipe would
// put a plain file where /dev/full or a reader's pipe was. A folder is refused.
class TSaveTarget final
{
public:
    explicit TSaveTarget(const QString &fileName);
    ~TSaveTarget();
    TSaveTarget(const TSaveTarget &) = delete;
    TSaveTarget &operator=(const TSaveTarget &) = delete;

    // Opens the target for writing; false with errorString() when it cannot be.
    bool open();
    // The device to write to, once open.
    QFileDevice *device() const { return m_file.get(); }
    // Writes out what is still buffered and, for a regular file, puts the new one in place.
    // False with errorString() when any write failed: the old file is then left as it was.
    bool commit();
    QString errorString() const;

private:
    QString m_fileName;
    std::unique_ptr<QFileDevice> m_file;
    QString m_error;
};
