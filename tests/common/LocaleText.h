#pragma once

#include "platform/numtext/NumText.h"

#include <QString>

// Expected number texts are written with a full stop; the tests also run under a comma
// locale, where the system writes the locale's separator instead.
inline QString localized(QString text)
{
    return text.replace(QLatin1Char('.'), numtext::decimalSeparator());
}
