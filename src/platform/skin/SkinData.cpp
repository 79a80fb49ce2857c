#include "platform/skin/SkinData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QStringTokenizer>
#include <QTemporaryFile>
#include <QVariant>

#include <memory>

namespace {

constexpr int FormatVersion = 1;
constexpr qint64 MaxFileSize = 1 << 20;

// QSettings takes much that the format does not (other encodings, NUL bytes, lines without
// "="), so the lines are checked here: blank, comment, [section] or key=value, in UTF-8.
bool isWellFormed(const QByteArray &bytes)
{
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString contents = decode(bytes);
    if (decode.hasError() || contents.contains(QChar(u'\0')))
        return false;
    for (const QStringView line : QStringTokenizer(contents, u'\n')) {
        const QStringView t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'#'))
            continue;
        if (t.startsWith(u'[')) {
            if (!t.endsWith(u']'))
                return false;
            continue;
        }
        if (!t.contains(u'='))
            return false;
    }
    return true;
}

// Reads the keys of one [section]; the first failure is kept in `error` and ends the read.
class SectionReader
{
public:
    SectionReader(QSettings &settings, const QString &section, QString &error)
        : m_settings(settings)
        , m_section(section)
        , m_error(error)
    { }

    bool ok() const { return m_error.isEmpty(); }

    // A value that QSettings split at commas, or any value that is not one plain text, is
    // malformed here.
    std::optional<QString> text(const QString &key, bool required)
    {
        if (!ok())
            return std::nullopt;
        const QString full = m_section + QLatin1Char('/') + key;
        if (!m_settings.contains(full)) {
            if (required)
                fail(key, QStringLiteral("missing"));
            return std::nullopt;
        }
        const QVariant value = m_settings.value(full);
        if (value.typeId() != QMetaType::QString) {
            fail(key, QStringLiteral("not a single value"));
            return std::nullopt;
        }
        return value.toString().trimmed();
    }

    QColor colour(const QString &key)
    {
        const std::optional<QString> value = text(key, true);
        if (!value)
            return {};
        const QColor c = QColor::fromString(*value);
        if (!c.isValid())
            fail(key, QStringLiteral("invalid colour \"%1\"").arg(*value));
        return c;
    }

    // FontFamily, FontSize (points, 1 to 72) and FontBold (true/false); no FontFamily means the
    // element keeps the application's font.
    std::optional<QFont> font()
    {
        const std::optional<QString> family = text(QStringLiteral("FontFamily"), false);
        const std::optional<QString> size = text(QStringLiteral("FontSize"), false);
        const std::optional<QString> bold = text(QStringLiteral("FontBold"), false);
        if (!ok())
            return std::nullopt;
        if (!family) {
            if (size || bold)
                fail(QStringLiteral("FontFamily"), QStringLiteral("missing"));
            return std::nullopt;
        }
        if (family->isEmpty()) {
            fail(QStringLiteral("FontFamily"), QStringLiteral("empty"));
            return std::nullopt;
        }
        QFont f(*family);
        if (size) {
            bool isNumber = false;
            const int points = size->toInt(&isNumber);
            if (!isNumber || points < 1 || points > 72) {
                fail(QStringLiteral("FontSize"), QStringLiteral("invalid size \"%1\"").arg(*size));
                return std::nullopt;
            }
            f.setPointSize(points);
        }
        if (bold) {
            const QString b = bold->toLower();
            if (b != QLatin1String("true") && b != QLatin1String("false")) {
                fail(QStringLiteral("FontBold"), QStringLiteral("not true or false"));
                return std::nullopt;
            }
            f.setBold(b == QLatin1String("true"));
        }
        return f;
    }

private:
    void fail(const QString &key, const QString &why)
    {
        if (ok())
            m_error = QStringLiteral("[%1] %2: %3").arg(m_section, key, why);
    }

    QSettings &m_settings;
    QString m_section;
    QString &m_error;
};

// The file's bytes, when it is a readable file of at most MaxFileSize bytes in the format's
// line syntax; otherwise `why` says what it is not.
std::optional<QByteArray> readCheckedBytes(const QString &path, QString &why)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        why = QStringLiteral("no such file");
        return std::nullopt;
    }
    if (!info.isFile() || !info.isReadable()) {
        why = QStringLiteral("not a readable file");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("cannot read file");
        return std::nullopt;
    }
    if (file.size() > MaxFileSize) {
        why = QStringLiteral("file too large");
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (!isWellFormed(bytes)) {
        why = QStringLiteral("malformed file");
        return std::nullopt;
    }
    return bytes;
}

// The settings parsed from exactly `bytes`, with the file they were parsed from.
struct ParsedCopy
{
    QTemporaryFile file {QDir::tempPath() + QStringLiteral("/jointrix-skin-XXXXXX.ini")};
    std::unique_ptr<QSettings> settings;
};

// QSettings keeps every file it parsed by path, and parses it again only when its size or time
// changed: a file rewritten within the same tick at the same size would give the keys it had
// before, and a file it had once refused as malformed would come back clean the second time.
// The bytes just checked are parsed from a private copy of a name of its own, so every read
// parses exactly them and sees their status.
bool parsePrivateCopy(const QByteArray &bytes, ParsedCopy &copy, QString &why)
{
    if (!copy.file.open() || copy.file.write(bytes) != bytes.size() || !copy.file.flush()) {
        why = QStringLiteral("cannot read file");
        return false;
    }
    copy.file.close();
    copy.settings = std::make_unique<QSettings>(copy.file.fileName(), QSettings::IniFormat);
    // Reading happens on first access; the status is only meaningful afterwards.
    const bool hasHeader = copy.settings->contains(QStringLiteral("Skin/Version"));
    if (copy.settings->status() != QSettings::NoError) {
        why = copy.settings->status() == QSettings::FormatError
            ? QStringLiteral("malformed file")
            : QStringLiteral("cannot read file");
        return false;
    }
    if (!hasHeader) {
        why = QStringLiteral("[Skin] Version: missing");
        return false;
    }
    return true;
}

// The skin of parsed settings: the header, then every section; the first fault found is `why`.
std::optional<TbsSkin> readSkin(QSettings &settings, QString &why)
{
    TbsSkin skin;
    {
        SectionReader header(settings, QStringLiteral("Skin"), why);
        const std::optional<QString> version = header.text(QStringLiteral("Version"), true);
        if (version && version->toInt() != FormatVersion)
            why = QStringLiteral("[Skin] Version: unsupported \"%1\"").arg(*version);
        skin.name = header.text(QStringLiteral("Name"), false).value_or(QString());
        if (!why.isEmpty())
            return std::nullopt;
    }
    SectionReader frame(settings, QStringLiteral("Frame"), why);
    skin.frame.caption = frame.colour(QStringLiteral("Caption"));
    skin.frame.captionText = frame.colour(QStringLiteral("CaptionText"));
    skin.frame.inactiveCaption = frame.colour(QStringLiteral("InactiveCaption"));
    skin.frame.inactiveCaptionText = frame.colour(QStringLiteral("InactiveCaptionText"));
    skin.frame.border = frame.colour(QStringLiteral("Border"));
    skin.frame.face = frame.colour(QStringLiteral("Face"));
    skin.frame.font = frame.font();

    SectionReader button(settings, QStringLiteral("Button"), why);
    skin.button.face = button.colour(QStringLiteral("Face"));
    skin.button.text = button.colour(QStringLiteral("Text"));
    skin.button.border = button.colour(QStringLiteral("Border"));
    skin.button.hotFace = button.colour(QStringLiteral("HotFace"));
    skin.button.downFace = button.colour(QStringLiteral("DownFace"));
    skin.button.disabledText = button.colour(QStringLiteral("DisabledText"));
    skin.button.font = button.font();

    SectionReader message(settings, QStringLiteral("Message"), why);
    skin.message.face = message.colour(QStringLiteral("Face"));
    skin.message.text = message.colour(QStringLiteral("Text"));
    skin.message.font = message.font();

    if (!why.isEmpty())
        return std::nullopt;
    return skin;
}

} // namespace

TbsSkinData::TbsSkinData(QWidget *parent)
    : TbsComponent(parent)
{ }

TbsSkinData::~TbsSkinData() = default;

std::optional<TbsSkin> TbsSkinData::readFile(const QString &path, QString *error)
{
    QString why;
    std::optional<TbsSkin> skin;
    if (const std::optional<QByteArray> bytes = readCheckedBytes(path, why)) {
        ParsedCopy copy;
        if (parsePrivateCopy(*bytes, copy, why))
            skin = readSkin(*copy.settings, why);
    }
    if (!skin && error)
        *error = why;
    return skin;
}

bool TbsSkinData::loadFromFile(const QString &path)
{
    std::optional<TbsSkin> skin = readFile(path);
    const bool changed = skin.has_value() || m_skin.has_value();
    m_skin = std::move(skin);
    m_fileName = m_skin ? QFileInfo(path).absoluteFilePath() : QString();
    if (changed)
        Q_EMIT skinChanged();
    return m_skin.has_value();
}

void TbsSkinData::clear()
{
    if (!m_skin)
        return;
    m_skin.reset();
    m_fileName.clear();
    Q_EMIT skinChanged();
}
