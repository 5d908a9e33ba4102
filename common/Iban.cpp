#include "common/Iban.h"
QString ibanFault(const QString& iban) { return iban.size() == 26 && iban.startsWith(QLatin1String("TR")) ? QString() : QStringLiteral("x"); }
QString ibanGroups(const QString& iban) { return iban; }
