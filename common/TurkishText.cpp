#include "common/TurkishText.h"

#include "store/Query.h"
#include "store/TurkishCollation.h"

QString turkishLower(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32) ++begin;
    while (end > begin && text[end - 1].unicode() <= 32) --end;
    return turkishLowerLetters(text.mid(begin, end - begin));
}

QString withoutControlCharacters(const QString& text)
{
    QString out = text;
    out.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return out;
}

QChar turkishCapital(QChar letter)
{
    switch (letter.unicode()) {
    case u'i': return u'İ';
    case u'ı': return u'I';
    case u'ç': return u'Ç';
    case u'ğ': return u'Ğ';
    case u'ö': return u'Ö';
    case u'ş': return u'Ş';
    case u'ü': return u'Ü';
    default:
        if (letter >= u'a' && letter <= u'z') return QChar(letter.unicode() - (u'a' - u'A'));
        return letter;
    }
}

bool findNext(Query& query, const QString& field, const QString& text)
{
    const QString wanted = turkishLower(text);
    const int rows = query.recordCount();
    // N + 1 steps: from row k the order is k+1 .. N, N again (the step that
    // sets the end flag), then 1 .. k, so the starting row comes last.
    for (int step = 0; step <= rows; ++step) {
        if (query.eof())
            query.first();
        else
            query.next();
        // An empty text is contained in every text; it must match nothing.
        if (!wanted.isEmpty() && turkishLower(query.asString(field)).contains(wanted)) return true;
    }
    return false;
}
