#pragma once

#include <QString>

// The system's ANSI code page, 936 (Simplified Chinese, GBK with the euro sign), as far as
// report text needs it.
namespace codepage {

// Converts text to code page 936 and back, as text takes that road on its way into a
// rich-text view: characters the code page cannot hold come back as "?" (or as a close
// transliteration), everything it holds comes back unchanged. An unpaired surrogate becomes "?".
// Text that comes back unchanged is returned as it is, sharing its data.
QString roundTrip936(const QString &text);

} // namespace codepage
