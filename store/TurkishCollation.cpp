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

}  // namespace

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
