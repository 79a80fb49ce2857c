// The skin file reader on any bytes.
//
// Input: the bytes of a skin file, written as they are to one file in a temporary folder of
// the process and overwritten for every input.
//
// Invariants:
// - TbsSkinData::readFile gives a skin or none, and says why when none;
// - a skin has every colour valid;
// - loadFromFile on the same file, into a store that still holds whatever the input before
//   left in it, loads exactly when readFile gives a skin, then with the same colours and the
//   absolute path as fileName; otherwise the store is empty and has no fileName. The second
//   read of the same path must not see what the first one left in the settings cache.

#include "FuzzCheck.h"
#include "FuzzQt.h"

#include "platform/skin/SkinData.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

QString g_path;
TbsSkinData *g_store = nullptr;

std::array<QColor, 14> colours(const TbsSkin &skin)
{
    return {skin.frame.caption,         skin.frame.captionText,
            skin.frame.inactiveCaption, skin.frame.inactiveCaptionText,
            skin.frame.border,          skin.frame.face,
            skin.button.face,           skin.button.text,
            skin.button.border,         skin.button.hotFace,
            skin.button.downFace,       skin.button.disabledText,
            skin.message.face,          skin.message.text};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    offscreenApplication<QApplication>("fuzz-skin-file");
    static QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "fuzz-skin-file: no temporary folder\n");
        std::exit(1);
    }
    g_path = folder.filePath(QStringLiteral("skin.ini"));
    static TbsSkinData store;
    g_store = &store;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile file(g_path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size))
                   == static_cast<qint64>(size));
    }

    QString why;
    const std::optional<TbsSkin> skin = TbsSkinData::readFile(g_path, &why);
    if (skin) {
        for (const QColor &c : colours(*skin))
            FUZZ_CHECK(c.isValid());
    } else {
        FUZZ_CHECK(!why.isEmpty());
    }

    const bool loaded = g_store->loadFromFile(g_path);
    FUZZ_CHECK(loaded == skin.has_value() && g_store->isLoaded() == loaded);
    if (loaded) {
        FUZZ_CHECK(g_store->skin() && colours(*g_store->skin()) == colours(*skin));
        FUZZ_CHECK(g_store->fileName() == QFileInfo(g_path).absoluteFilePath());
    } else {
        FUZZ_CHECK(!g_store->skin() && g_store->fileName().isEmpty());
    }
    return 0;
}
