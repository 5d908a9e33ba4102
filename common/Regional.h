#pragma once

#include <QChar>
#include <QString>

// The Turkish conventions the program works in, whatever the machine's
// locale. Tests may switch to "." as decimal separator: every rule then
// applies with the two separators exchanged.
struct RegionalSettings {
    QChar decimalSeparator = QLatin1Char(',');
    QChar thousandSeparator = QLatin1Char('.');
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy");
};

const RegionalSettings& regional();
void setRegional(const RegionalSettings& settings);
