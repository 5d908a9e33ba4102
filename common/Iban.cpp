#include "common/Iban.h"

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The check digits hold when the number read from the IBAN with its first
// four characters moved to the end, letters as 10..35, leaves 1 over 97.
// Read piece by piece: 26 characters are far past any integer.
bool checkDigitsHold(const QString& iban)
{
    const QString moved = iban.mid(4) + iban.left(4);
    int rest = 0;
    for (const QChar c : moved) {
        if (isDigit(c))
            rest = (rest * 10 + (c.unicode() - '0')) % 97;
        else
            rest = (rest * 100 + (c.unicode() - 'A' + 10)) % 97;
    }
    return rest == 1;
}

}  // namespace

QString ibanStored(const QString& typed)
{
    QString stored;
    for (const QChar c : typed)
        if (!c.isSpace()) stored += c;
    return stored.toUpper();
}

QString ibanFault(const QString& typed)
{
    const QString iban = ibanStored(typed);
    if (iban.isEmpty()) return {};
    bool digits = iban.startsWith(QLatin1String("TR"));
    for (qsizetype i = 2; digits && i < iban.size(); ++i) digits = isDigit(iban[i]);
    if (!digits || iban.size() != kIbanLength) {
        QString why = QStringLiteral("IBAN TR ile başlayıp 24 rakamla devam etmeli (26 karakter).");
        if (iban.size() != kIbanLength) why += QStringLiteral(" Yazılan %1 karakter.").arg(iban.size());
        return why;
    }
    // 00 and 01 pass wherever 97 and 98 are the right digits; none are given.
    const int check = iban.mid(2, 2).toInt();
    if (check < 2 || check > 98 || !checkDigitsHold(iban))
        return QStringLiteral("IBAN'ın kontrol basamakları tutmuyor; bir rakam yanlış yazılmış olabilir.");
    return {};
}

QString ibanGroups(const QString& iban)
{
    const QString stored = ibanStored(iban);
    QString grouped;
    for (qsizetype i = 0; i < stored.size(); i += 4) {
        if (i > 0) grouped += QLatin1Char(' ');
        grouped += stored.mid(i, 4);
    }
    return grouped;
}
