#include "store/TurkishCollation.h"

#include "store/DatabaseError.h"
#include "store/SqlText.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

int compare(void* collator, int leftLength, const void* left, int rightLength, const void* right)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = ucol_strcollUTF8(static_cast<UCollator*>(collator), static_cast<const char*>(left),
                                                     leftLength, static_cast<const char*>(right), rightLength, &status);
    if (U_FAILURE(status)) {
        // Keep the order total even when ICU cannot read the text.
        const int common = std::memcmp(left, right, static_cast<size_t>(std::min(leftLength, rightLength)));
        return common != 0 ? common : leftLength - rightLength;
    }
    return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

void destroy(void* collator)
{
    ucol_close(static_cast<UCollator*>(collator));
}

void lower(sqlite3_context* context, int, sqlite3_value** values)
{
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray text = turkishLowerLetters(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(values[0])),
                                                                  sqlite3_value_bytes(values[0])))
                                .toUtf8();
    sqlite3_result_text(context, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

}  // namespace

QString turkishLowerLetters(QString text)
{
    for (QChar& c : text) {
        switch (c.unicode()) {
        case u'I': c = u'ı'; break;
        case u'İ': c = u'i'; break;
        case u'Ç': c = u'ç'; break;
        case u'Ğ': c = u'ğ'; break;
        case u'Ö': c = u'ö'; break;
        case u'Ş': c = u'ş'; break;
        case u'Ü': c = u'ü'; break;
        default:
            if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
        }
    }
    return text;
}

void registerTurkishCollation(sqlite3* db)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("tr", &status);
    if (U_FAILURE(status))
        throw DatabaseError(SQLITE_ERROR, std::string("ICU Turkish collation: ") + u_errorName(status));
    const QByteArray name = kTurkishCollation.toUtf8();
    const int rc = sqlite3_create_collation_v2(db, name.constData(), SQLITE_UTF8, collator, compare, destroy);
    if (rc != SQLITE_OK) {
        // Unlike its other calls, the engine does not destroy the argument on failure.
        ucol_close(collator);
        throw DatabaseError(rc, sqlite3_errmsg(db));
    }
}

void registerTurkishLower(sqlite3* db)
{
    const QByteArray name = kTurkishLower.toUtf8();
    const int rc = sqlite3_create_function_v2(db, name.constData(), 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, lower,
                                              nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw DatabaseError(rc, sqlite3_errmsg(db));
}
