#pragma once

#include <QString>
#include <QStringList>

namespace playback {

// Answers that have broken number handling in programs like this one: empty and blank texts,
// words, a decimal comma, values beyond double range or 16-bit counts, not-a-numbers, a
// negative zero, tiny and huge values, very long texts and text outside ASCII.
inline QStringList interestingAnswers()
{
    return {
        QString(),
        QStringLiteral(" "),
        QStringLiteral("   "),
        QStringLiteral("abc"),
        QStringLiteral("1,5"),
        QStringLiteral("1e400"),
        QStringLiteral("-1e400"),
        QStringLiteral("1e-400"),
        QStringLiteral("nan"),
        QStringLiteral("NaN"),
        QStringLiteral("inf"),
        QStringLiteral("-inf"),
        QStringLiteral("-0"),
        QStringLiteral("0"),
        QStringLiteral("0.0000001"),
        QStringLiteral("1"),
        QStringLiteral("2"),
        QStringLiteral("0.5"),
        QStringLiteral("-1"),
        QStringLiteral("32767"),
        QStringLiteral("32767.5"),
        QStringLiteral("32768"),
        QStringLiteral("-32769"),
        QStringLiteral("1e9"),
        QStringLiteral("-1e300"),
        QStringLiteral("1e308"),
        QStringLiteral("500"),
        QStringLiteral("501"),
        QStringLiteral("499.9"),
        QStringLiteral("500.5"),
        QStringLiteral("1000"),
        QStringLiteral("0x10"),
        QStringLiteral("+3"),
        QStringLiteral(" 3 "),
        QStringLiteral("3."),
        QStringLiteral(".5"),
        QStringLiteral("1e"),
        QStringLiteral("--1"),
        QStringLiteral("Y"),
        QStringLiteral("y"),
        QStringLiteral("N"),
        QStringLiteral("F"),
        QStringLiteral("f"),
        QStringLiteral("H"),
        QString(10000, QLatin1Char('9')),
        QString(10000, QLatin1Char('x')),
        QStringLiteral("0.") + QString(10000, QLatin1Char('0')) + QStringLiteral("1"),
        QString::fromUtf8("\xcf\x80"),                 // pi
        QString::fromUtf8("\xef\xbc\x91\xef\xbc\x92"), // full-width 12
        QString::fromUtf8("\xd9\xa3"),                 // Arabic-Indic 3
        QString::fromUtf8("3\xc2\xa0"),                // 3 and a no-break space
        QString::fromUtf8("\xe2\x80\x8b"
                          "1"), // zero-width space, 1
        QString::fromUtf8("1\xe2\x80\xaf"
                          "000"), // narrow no-break space as thousands separator
    };
}

} // namespace playback
