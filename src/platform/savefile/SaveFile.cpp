#include "platform/savefile/SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

TSaveTarget::TSaveTarget(const QString &fileName)
    : m_fileName(fileName)
{ }

TSaveTarget::~TSaveTarget()
{
    // Never committed: a save file leaves the old one alone.
    if (auto *save = qobject_cast<QSaveFile *>(m_file.get()))
        save->cancelWriting();
}

bool TSaveTarget::open()
{
    const QFileInfo info(m_fileName);
    if (info.isDir()) {
        m_error = QStringLiteral("it is a folder");
        return false;
    }
    if (info.exists() && !info.isFile())
        m_file = std::make_unique<QFile>(m_fileName);
    else
        m_file = std::make_unique<QSaveFile>(m_fileName);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_error = m_file->errorString();
        return false;
    }
    return true;
}

bool TSaveTarget::commit()
{
    if (!m_file) {
        m_error = QStringLiteral("not open");
        return false;
    }
    // A file keeps its first write error. A save file's commit would write out the buffer too,
    // but would not notice when that fails and put the cut-off file in place.
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError) {
        m_error = m_file->errorString();
        return false;
    }
    if (auto *save = qobject_cast<QSaveFile *>(m_file.get())) {
        if (!save->commit()) {
            m_error = save->errorString();
            return false;
        }
        return true;
    }
    m_file->close();
    if (m_file->error() != QFileDevice::NoError) {
        m_error = m_file->errorString();
        return false;
    }
    return true;
}

QString TSaveTarget::errorString() const
{
    return m_error;
}
