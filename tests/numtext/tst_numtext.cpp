#include "../common/LocaleText.h"
#include "platform/numtext/NumText.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestNumText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void separatorFollowsLocale();
    void generalText_data();
    void generalText();
    void generalTextNonFinite();
    void fixedText_data();
    void fixedText();
    void parseReal_data();
    void parseReal();
    void parseInt_data();
    void parseInt();
    void roundToDecimals_data();
    void roundToDecimals();
    void roundToDecimalsRefuses_data();
    void roundToDecimalsRefuses();
    void trimmed();
};

void TestNumText::separatorFollowsLocale()
{
    const bool comma = qgetenv("LC_ALL").startsWith("de");
    QCOMPARE(numtext::decimalSeparator(), comma ? QLatin1Char(',') : QLatin1Char('.'));
}

void TestNumText::generalText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << 15 << QStringLiteral("0");
    QTest::newRow("negative zero") << -0.0 << 15 << QStringLiteral("0");
    QTest::newRow("whole") << 1600.0 << 15 << QStringLiteral("1600");
    QTest::newRow("fraction") << 36.96 << 15 << QStringLiteral("36.96");
    QTest::newRow("negative") << -2.5 << 15 << QStringLiteral("-2.5");
    QTest::newRow("E=-3 is fixed") << 0.0001 << 15 << QStringLiteral("0.0001");
    QTest::newRow("E=-4 is exponent") << 0.00005 << 15 << QStringLiteral("5E-5");
    QTest::newRow("small with digits") << 1.5e-6 << 15 << QStringLiteral("1.5E-6");
    QTest::newRow("E=15 is fixed") << 1e14 << 15 << QStringLiteral("100000000000000");
    QTest::newRow("E=16 is exponent") << 1e15 << 15 << QStringLiteral("1E15");
    QTest::newRow("large with digits") << 1.25e20 << 15 << QStringLiteral("1.25E20");
    QTest::newRow("18 digits cut to 15") << 0.1 + 0.2 << 15 << QStringLiteral("0.3");
    QTest::newRow("thirds down") << 1.0 / 3 << 15 << QStringLiteral("0.333333333333333");
    QTest::newRow("thirds up") << 2.0 / 3 << 15 << QStringLiteral("0.666666666666667");
    QTest::newRow("carry into a new digit") << 999999999999999.9 << 15 << QStringLiteral("1E15");
    QTest::newRow("16 digits rounded")
        << 1234567890123456.0 << 15 << QStringLiteral("1.23456789012346E15");
    QTest::newRow("18-digit whole, all kept")
        << 123456789012345678.0 << 18 << QStringLiteral("123456789012345680");
    QTest::newRow("18-digit whole cut to 15")
        << 123456789012345678.0 << 15 << QStringLiteral("1.23456789012346E17");
    QTest::newRow("19-digit whole cut to 18")
        << 1152921504606846976.0 << 18 << QStringLiteral("1.15292150460684698E18");
    QTest::newRow("single 0.1") << double(0.1f) << 15 << QStringLiteral("0.100000001490116");
    QTest::newRow("single eight nines") << double(99999999.0f) << 15 << QStringLiteral("100000000");
    QTest::newRow("8 digits, exponent") << 123456789.0 << 8 << QStringLiteral("1.2345679E8");
    QTest::newRow("8 digits, fixed") << 12345678.0 << 8 << QStringLiteral("12345678");
    QTest::newRow("2.675 at 15") << 2.675 << 15 << QStringLiteral("2.675");
    QTest::newRow("denormal") << 5e-324 << 15 << QStringLiteral("4.94065645841247E-324");
    QTest::newRow("largest") << std::numeric_limits<double>::max() << 15
                             << QStringLiteral("1.79769313486232E308");
}

void TestNumText::generalText()
{
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QString, expected);
    QCOMPARE(numtext::generalText(value, precision), localized(expected));
    QCOMPARE(numtext::generalText(value, precision, QLatin1Char(',')),
             QString(expected).replace(QLatin1Char('.'), QLatin1Char(',')));
}

void TestNumText::generalTextNonFinite()
{
    QCOMPARE(numtext::generalText(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("NAN"));
    QCOMPARE(numtext::generalText(std::numeric_limits<double>::infinity()), QStringLiteral("INF"));
    QCOMPARE(numtext::generalText(-std::numeric_limits<double>::infinity()),
             QStringLiteral("-INF"));
}

void TestNumText::fixedText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("expected");

    QTest::newRow("cut") << 3.14159 << 2 << 9 << QStringLiteral("3.14");
    QTest::newRow("padded") << 2.5 << 2 << 9 << QStringLiteral("2.50");
    QTest::newRow("2.675 up through 9 digits") << 2.675 << 2 << 9 << QStringLiteral("2.68");
    QTest::newRow("half away from zero") << 0.125 << 2 << 9 << QStringLiteral("0.13");
    QTest::newRow("negative half") << -0.125 << 2 << 9 << QStringLiteral("-0.13");
    QTest::newRow("zero") << 0.0 << 2 << 9 << QStringLiteral("0.00");
    QTest::newRow("negative to zero has no sign") << -0.001 << 2 << 9 << QStringLiteral("0.00");
    QTest::newRow("tiny") << 1e-20 << 2 << 9 << QStringLiteral("0.00");
    QTest::newRow("rounds to first decimal") << 0.006 << 2 << 9 << QStringLiteral("0.01");
    QTest::newRow("carry") << 999.999 << 2 << 9 << QStringLiteral("1000.00");
    QTest::newRow("no decimals half") << 1.5 << 0 << 8 << QStringLiteral("2");
    QTest::newRow("no decimals whole") << 10000.0 << 0 << 8 << QStringLiteral("10000");
    QTest::newRow("no decimals below half") << 0.4 << 0 << 8 << QStringLiteral("0");
    QTest::newRow("digits past precision are zeros")
        << 12345.6789 << 3 << 5 << QStringLiteral("12346.000");
    QTest::newRow("too many integer digits")
        << 123456789.0 << 0 << 8 << QStringLiteral("1.2345679E8");
    QTest::newRow("decimals capped at 18")
        << 0.5 << 30 << 15 << QStringLiteral("0.500000000000000000");
}

void TestNumText::fixedText()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(int, precision);
    QFETCH(QString, expected);
    QCOMPARE(numtext::fixedText(value, decimals, precision), localized(expected));
}

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<qint32>)

void TestNumText::parseReal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<std::optional<double>>("expected");

    const QChar point = QLatin1Char('.');
    const QChar comma = QLatin1Char(',');
    const std::optional<double> none;
    QTest::newRow("plain") << QStringLiteral("1.5") << point << std::optional(1.5);
    QTest::newRow("blanks") << QStringLiteral("  2  ") << point << std::optional(2.0);
    QTest::newRow("minus") << QStringLiteral("-3") << point << std::optional(-3.0);
    QTest::newRow("plus, trailing separator")
        << QStringLiteral("+4.") << point << std::optional(4.0);
    QTest::newRow("leading separator") << QStringLiteral(".5") << point << std::optional(0.5);
    QTest::newRow("exponent") << QStringLiteral("1e3") << point << std::optional(1000.0);
    QTest::newRow("negative exponent") << QStringLiteral("1E-2") << point << std::optional(0.01);
    QTest::newRow("nearest double") << QStringLiteral("0.1") << point << std::optional(0.1);
    QTest::newRow("underflow is zero") << QStringLiteral("1e-400") << point << std::optional(0.0);
    QTest::newRow("comma locale") << QStringLiteral("1,5") << comma << std::optional(1.5);
    QTest::newRow("full stop in comma locale") << QStringLiteral("1.5") << comma << none;
    QTest::newRow("comma in full-stop locale") << QStringLiteral("1,5") << point << none;
    QTest::newRow("empty") << QString() << point << none;
    QTest::newRow("blanks only") << QStringLiteral("   ") << point << none;
    QTest::newRow("separator only") << QStringLiteral(".") << point << none;
    QTest::newRow("sign only") << QStringLiteral("-") << point << none;
    QTest::newRow("two separators") << QStringLiteral("1.2.3") << point << none;
    QTest::newRow("exponent without digits") << QStringLiteral("1e") << point << none;
    QTest::newRow("exponent without mantissa") << QStringLiteral("e5") << point << none;
    QTest::newRow("letters after") << QStringLiteral("12a") << point << none;
    QTest::newRow("inner blank") << QStringLiteral("1 2") << point << none;
    QTest::newRow("overflow") << QStringLiteral("1e400") << point << none;
    QTest::newRow("beyond the extended range") << QStringLiteral("1e5000") << point << none;
    QTest::newRow("negative beyond the extended range")
        << QStringLiteral("-1e5000") << point << none;
    QTest::newRow("underflow beyond the extended range")
        << QStringLiteral("1e-5000") << point << std::optional(0.0);
    QTest::newRow("hexadecimal") << QStringLiteral("0x10") << point << none;
    QTest::newRow("infinity word") << QStringLiteral("inf") << point << none;
    QTest::newRow("other digits") << QStringLiteral("١٢") << point << none;
}

void TestNumText::parseReal()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(std::optional<double>, expected);
    const std::optional<double> actual = numtext::parseReal(text, separator);
    QCOMPARE(actual.has_value(), expected.has_value());
    if (expected)
        QCOMPARE(*actual, *expected);
}

void TestNumText::parseInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint32>>("expected");

    const std::optional<qint32> none;
    QTest::newRow("zero") << QStringLiteral("0") << std::optional<qint32>(0);
    QTest::newRow("blanks and sign") << QStringLiteral("  -12 ") << std::optional<qint32>(-12);
    QTest::newRow("plus") << QStringLiteral("+7") << std::optional<qint32>(7);
    QTest::newRow("leading zeros") << QStringLiteral("0010") << std::optional<qint32>(10);
    QTest::newRow("largest") << QStringLiteral("2147483647") << std::optional<qint32>(2147483647);
    QTest::newRow("smallest") << QStringLiteral("-2147483648")
                              << std::optional<qint32>(std::numeric_limits<qint32>::min());
    QTest::newRow("one past largest") << QStringLiteral("2147483648") << none;
    QTest::newRow("one past smallest") << QStringLiteral("-2147483649") << none;
    QTest::newRow("far beyond") << QStringLiteral("99999999999999999999") << none;
    QTest::newRow("real") << QStringLiteral("1.5") << none;
    QTest::newRow("empty") << QString() << none;
    QTest::newRow("sign only") << QStringLiteral("-") << none;
    QTest::newRow("exponent") << QStringLiteral("1e3") << none;
    QTest::newRow("hexadecimal") << QStringLiteral("$FF") << none;
    QTest::newRow("other digits") << QStringLiteral("١٢") << none;
}

void TestNumText::parseInt()
{
    QFETCH(QString, text);
    QFETCH(std::optional<qint32>, expected);
    QCOMPARE(numtext::parseInt(text), expected);
}

void TestNumText::roundToDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");

    QTest::newRow("binary just above half") << 2.0005 << 3 << 2.001;
    QTest::newRow("binary just below half") << 1.0005 << 3 << 1.0;
    QTest::newRow("exact half to even, down") << 2.5 << 0 << 2.0;
    QTest::newRow("exact half to even, up") << 3.5 << 0 << 4.0;
    QTest::newRow("negative half to even") << -2.5 << 0 << -2.0;
    QTest::newRow("tens") << 1234.5 << -1 << 1230.0;
    QTest::newRow("hundreds") << 1250.0 << -2 << 1200.0;
    QTest::newRow("three decimals") << 12.3456 << 3 << 12.346;
    QTest::newRow("just inside the 64-bit range") << 9.2e15 << 3 << 9.2e15;
    QTest::newRow("many decimals") << 0.1 << 17 << 0.1;
}

void TestNumText::roundToDecimals()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(numtext::roundToDecimals(value, decimals), expected);
}

void TestNumText::roundToDecimalsRefuses_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");

    QTest::newRow("quotient beyond 2^63") << 1e16 << 3;
    QTest::newRow("just beyond") << 9.3e15 << 3;
    QTest::newRow("too many decimals") << 1.0 << 20;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 3;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 3;
    QTest::newRow("negative infinity") << -std::numeric_limits<double>::infinity() << 0;
}

void TestNumText::roundToDecimalsRefuses()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QVERIFY_THROWS_EXCEPTION(numtext::InvalidOperation, numtext::roundToDecimals(value, decimals));
}

void TestNumText::trimmed()
{
    QCOMPARE(numtext::trimmed(u"\t 12 \r\n"), QStringLiteral("12"));
    QCOMPARE(numtext::trimmed(u" \x01 "), QString());
    QCOMPARE(numtext::trimmed(u"a b"), QStringLiteral("a b"));
}

QTEST_GUILESS_MAIN(TestNumText)
#include "tst_numtext.moc"
