#pragma once

#include <QChar>
#include <QDate>
#include <QString>
#include <ostream>

// Readable failure messages for Qt's text types.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(QChar c, std::ostream* os) { *os << '\'' << QString(c).toStdString() << "' (U+" << std::hex << static_cast<unsigned>(c.unicode()) << std::dec << ')'; }
inline void PrintTo(const QDate& date, std::ostream* os) { *os << date.toString(Qt::ISODate).toStdString(); }
