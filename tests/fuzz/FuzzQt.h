#pragma once

#include <QByteArray>
#include <QStringView>
#include <QtGlobal>

#include <cstdio>
#include <string>

// The UTF-16 code units of a text in hexadecimal, for a failure message about text that may
// hold anything.
inline std::string hex(QStringView text)
{
    std::string out;
    char unit[8];
    for (const QChar c : text) {
        std::snprintf(unit, sizeof unit, "%04x ", c.unicode());
        out += unit;
    }
    return out;
}

// The target's Qt application, made once, on the offscreen platform unless another is asked
// for. Qt reads no fuzzer options: it gets a command line of its own.
template<typename Application> Application &offscreenApplication(const char *name)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    static int argc = 1;
    static std::string program = name;
    static char *argv[] = {program.data(), nullptr};
    static Application application(argc, argv);
    return application;
}
