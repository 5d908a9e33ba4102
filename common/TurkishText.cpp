#include "common/TurkishText.h"

#include "store/Query.h"
#include "store/TurkishCollation.h"

#include <algorithm>

QString turkishLower(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32) ++begin;
    while (end > begin && text[end - 1].unicode() <= 32) --end;
    return turkishLowerLetters(text.mid(begin, end - begin));
}

QString inParagraphs(const QString& text, qsizetype longest)
{
    if (text.size() <= longest) return text;
    QString shown;
    shown.reserve(text.size() + text.size() / longest + 1);
    for (qsizetype from = 0; from < text.size();) {
        qsizetype end = std::min(from + longest, text.size());
        if (end < text.size()) {
            // Only this paragraph is searched for its blank.
            const qsizetype blank = QStringView(text).sliced(from, end - from).lastIndexOf(QLatin1Char(' '));
            if (blank > 0) end = from + blank + 1;
        }
        if (!shown.isEmpty()) shown += QLatin1Char('\n');
        shown += QStringView(text).sliced(from, end - from);
        from = end;
    }
    return shown;
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
