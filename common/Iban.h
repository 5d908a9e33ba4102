#pragma once
#include <QString>
QString ibanFault(const QString& iban);
QString ibanGroups(const QString& iban);
