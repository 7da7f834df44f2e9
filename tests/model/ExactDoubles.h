// Comparing doubles to the last bit in QtTest, whose QCOMPARE on doubles forgives the last ones.
#pragma once

#include <QLocale>
#include <QString>

// The shortest text that reads back to the same double: equal texts, equal bits.
inline QString bits(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}
