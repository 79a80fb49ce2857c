#include "platform/codepage/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <string>
#include <vector>

#include <QList>

namespace codepage {

namespace {

// iconv descriptors are costly to open (glibc loads a conversion module) and not safe to
// share between threads, so each thread keeps its own pair.
class Converter
{
public:
    Converter()
        : m_encode(iconv_open("CP936//TRANSLIT", "UTF-16LE"))
        , m_decode(iconv_open("UTF-16LE", "CP936"))
    { }
    ~Converter()
    {
        if (m_encode != invalid())
            iconv_close(m_encode);
        if (m_decode != invalid())
            iconv_close(m_decode);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool isValid() const { return m_encode != invalid() && m_decode != invalid(); }

    std::string encode(QStringView text)
    {
        std::string out;
        out.reserve(static_cast<size_t>(text.size()) * 2 + 4);
        iconv(m_encode, nullptr, nullptr, nullptr, nullptr);
        qsizetype i = 0;
        while (i < text.size()) {
            // Feed runs of well-formed UTF-16, stepping over an unpaired surrogate by hand.
            qsizetype end = i;
            while (end < text.size()) {
                const QChar c = text[end];
                if (c.isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate())
                    end += 2;
                else if (c.isSurrogate())
                    break;
                else
                    ++end;
            }
            if (end > i)
                convertRun(text.mid(i, end - i), out);
            if (end < text.size()) {
                out += '?';
                ++end;
            }
            i = end;
        }
        return out;
    }

    QString decode(const std::string &bytes)
    {
        QString out;
        out.resize(static_cast<qsizetype>(bytes.size()) + 1);
        iconv(m_decode, nullptr, nullptr, nullptr, nullptr);
        auto *in = const_cast<char *>(bytes.data());
        size_t inLeft = bytes.size();
        auto *dst = reinterpret_cast<char *>(out.data());
        size_t outLeft = static_cast<size_t>(out.size()) * sizeof(char16_t);
        while (inLeft > 0) {
            if (iconv(m_decode, &in, &inLeft, &dst, &outLeft) != size_t(-1))
                break;
            if (errno == E2BIG)
                break; // cannot happen: every byte decodes to at most one UTF-16 unit
            // A byte sequence the decoder rejects: show it as "?" and go on.
            ++in;
            --inLeft;
            if (outLeft >= sizeof(char16_t)) {
                const char16_t q = u'?';
                std::memcpy(dst, &q, sizeof q);
                dst += sizeof q;
                outLeft -= sizeof q;
            }
        }
        out.resize(static_cast<qsizetype>((reinterpret_cast<QChar *>(dst) - out.data())));
        return out;
    }

private:
    // iconv_open's failure value is (iconv_t)-1: the C interface leaves no other way to name it.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    void convertRun(QStringView run, std::string &out)
    {
        auto *in = reinterpret_cast<char *>(const_cast<QChar *>(run.data()));
        size_t inLeft = static_cast<size_t>(run.size()) * sizeof(char16_t);
        char buffer[256];
        while (inLeft > 0) {
            char *dst = buffer;
            size_t outLeft = sizeof buffer;
            const size_t rc = iconv(m_encode, &in, &inLeft, &dst, &outLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != size_t(-1) || errno == E2BIG)
                continue;
            // Transliteration normally absorbs everything; anything left is one character.
            out += '?';
            const QChar c = *reinterpret_cast<const QChar *>(in);
            const size_t step = c.isHighSurrogate() && inLeft >= 4 ? 4 : 2;
            in += step;
            inLeft -= step;
        }
        char *dst = buffer;
        size_t outLeft = sizeof buffer;
        iconv(m_encode, nullptr, nullptr, &dst, &outLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
    }

    iconv_t m_encode;
    iconv_t m_decode;
};

// Code page 936 is stateless, so converting text is converting it one character at a time
// (a surrogate pair being one character). Each thread remembers what every character it has
// met comes back as, and converts only characters it has not seen yet.
class CharacterCache
{
public:
    explicit CharacterCache(Converter &converter)
        : m_converter(converter)
        , m_slot(0x10000, Unknown)
    { }

    // Whether the character is known to come back as it is.
    bool same(char16_t c) const { return m_slot[c] == Same; }

    void append(char16_t c, QString &out)
    {
        quint16 &slot = m_slot[c];
        if (slot == Unknown) {
            const QChar single(c);
            const QString back = m_converter.decode(m_converter.encode(QStringView(&single, 1)));
            if (back.size() == 1 && back.front() == single) {
                slot = Same;
            } else if (m_mapped.size() < MaxMapped) {
                m_mapped.append(back);
                slot = static_cast<quint16>(FirstMapped + m_mapped.size() - 1);
            } else {
                out += back;
                return;
            }
        }
        if (slot == Same)
            out += QChar(c);
        else
            out += m_mapped[slot - FirstMapped];
    }

    // A surrogate pair is too rare to be worth a slot.
    QString convertPair(QStringView pair) { return m_converter.decode(m_converter.encode(pair)); }

private:
    static constexpr quint16 Unknown = 0;
    static constexpr quint16 Same = 1;
    static constexpr quint16 FirstMapped = 2;
    static constexpr qsizetype MaxMapped = 0xFFFF - FirstMapped;

    Converter &m_converter;
    std::vector<quint16> m_slot;
    QList<QString> m_mapped;
};

// The thread's converter and its cache, or null where iconv has no code page 936.
CharacterCache *characterCache()
{
    thread_local Converter converter;
    if (!converter.isValid())
        return nullptr;
    thread_local CharacterCache cache(converter);
    return &cache;
}

QString convert(QStringView text, CharacterCache &cache)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += cache.convertPair(text.mid(i, 2));
            ++i;
        } else {
            cache.append(c.unicode(), out);
        }
    }
    return out;
}

} // namespace

QString roundTrip936(const QString &text)
{
    CharacterCache *cache = characterCache();
    if (!cache)
        return text;
    // Code page 936 holds ASCII as it is: a line of ASCII and of characters already known to
    // survive needs no new string.
    const bool unchanged = std::all_of(text.cbegin(), text.cend(), [cache](QChar c) {
        return c.unicode() < 0x80 || cache->same(c.unicode());
    });
    return unchanged ? text : convert(text, *cache);
}

} // namespace codepage
