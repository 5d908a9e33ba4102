#include "common/TurkishText.h"

#include "store/Query.h"

QString turkishLower(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32) ++begin;
    while (end > begin && text[end - 1].unicode() <= 32) --end;

    QString out = text.mid(begin, end - begin);
    for (QChar& c : out) {
        switch (c.unicode()) {
        case u'I': c = u'ı'; break;
        case u'İ': c = u'i'; break;
        case u'Ç': c = u'ç'; break;
        case u'Ğ': c = u'ğ'; break;
        case u'Ö': c = u'ö'; break;
        case u'Ş': c = u'ş'; break;
        case u'Ü': c = u'ü'; break;
        default:
            // Only the Latin capitals: "Â" and the like stay as they are.
            if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
        }
    }
    return out;
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
