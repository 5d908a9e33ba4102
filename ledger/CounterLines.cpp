#include "ledger/CounterLines.h"

#include "common/Conversions.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

using Field = LinePattern::Field;
using Piece = LinePattern::Piece;

// The widest line the collector cuts, so no column can lie beyond it.
constexpr int kWidestColumn = static_cast<int>(LineCollector::kMaxLineBytes);

QString fieldName(Field field)
{
    switch (field) {
    case Field::Fat: return QStringLiteral("{yag}");
    case Field::Protein: return QStringLiteral("{protein}");
    case Field::Kilograms: return QStringLiteral("{kg}");
    case Field::Steady: return QStringLiteral("{kararli}");
    case Field::Skip: return QStringLiteral("{*}");
    }
    return {};
}

std::optional<Field> fieldNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("yag") || n == QStringLiteral("yağ")) return Field::Fat;
    if (n == QLatin1String("protein")) return Field::Protein;
    if (n == QLatin1String("kg")) return Field::Kilograms;
    if (n == QLatin1String("kararli") || n == QStringLiteral("kararlı")) return Field::Steady;
    if (n == QLatin1String("*")) return Field::Skip;
    return std::nullopt;
}

bool placedByColumns(const Piece& piece)
{
    return piece.field && piece.from;
}

QString error(const QString& text)
{
    return QStringLiteral("Desende ") + text;
}

// One field between braces: name, an optional "=mark", optional "@from-to".
std::optional<Piece> fieldPiece(const QString& inside, QString& why)
{
    static const QRegularExpression marks(QStringLiteral("[=@]"));
    static const QRegularExpression shape(QStringLiteral(R"(^(?:=([^@]*))?(?:@\s*(\d{1,4})\s*-\s*(\d{1,4})\s*)?$)"));
    const QString shown = QLatin1Char('{') + inside + QLatin1Char('}');
    const qsizetype cut = inside.indexOf(marks);
    const std::optional<Field> field = fieldNamed(inside.left(cut).trimmed());
    if (!field) {
        why = error(QStringLiteral("bilinmeyen alan var: %1. Alanlar: {yag}, {protein}, {kg}, {kararli}, {*}.").arg(shown));
        return std::nullopt;
    }
    const QRegularExpressionMatch m = shape.match(cut < 0 ? QString() : inside.mid(cut));
    if (!m.hasMatch()) {
        why = error(QStringLiteral("%1 okunamadı: sütunlar {yag@0-5} gibi, kararlı tartının yazısı {kararli=ST} gibi yazılır.")
                        .arg(shown));
        return std::nullopt;
    }
    Piece piece;
    piece.field = field;
    if (m.hasCaptured(1)) {
        if (*field != Field::Steady) {
            why = error(QStringLiteral("%1 içinde \"=\" var; yalnız {kararli} bir değer alır ({kararli=ST} gibi).").arg(shown));
            return std::nullopt;
        }
        piece.steadyMark = m.captured(1).trimmed();
        if (piece.steadyMark.isEmpty()) {
            why = error(QStringLiteral("%1 içinde kararlı tartının yazısı boş.").arg(shown));
            return std::nullopt;
        }
    } else if (*field == Field::Steady) {
        piece.steadyMark = QStringLiteral("ST");
    }
    if (m.hasCaptured(2)) {
        const int from = m.captured(2).toInt();
        const int to = m.captured(3).toInt();
        if (to <= from || to > kWidestColumn) {
            why = error(QStringLiteral("%1 sütunları yanlış: ikinci sayı birinciden büyük ve en çok %2 olmalı.")
                            .arg(shown)
                            .arg(kWidestColumn));
            return std::nullopt;
        }
        piece.from = from;
        piece.to = to;
    }
    return piece;
}

// "+ 0012,34 " as 12.34; none for anything else.
std::optional<double> number(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral(R"(^\s*([+-]?)\s*([0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)\s*$)"));
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch()) return std::nullopt;
    QString digits = m.captured(2);
    digits.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok) return std::nullopt;
    return m.captured(1) == QLatin1String("-") ? -value : value;
}

// Puts the field's text into the reading; false when it cannot be read.
bool take(const Piece& piece, const QString& text, CounterReading& reading)
{
    switch (*piece.field) {
    case Field::Fat: return (reading.fat = number(text)).has_value();
    case Field::Protein: return (reading.protein = number(text)).has_value();
    case Field::Kilograms: return (reading.kilograms = number(text)).has_value();
    case Field::Steady:
        reading.steady = text.trimmed().compare(piece.steadyMark, Qt::CaseInsensitive) == 0;
        return true;
    case Field::Skip: return true;
    }
    return false;
}

// Whether the pieces from `index` on match the line from `at`. A field
// placed by surrounding text tries each place of the literal after it, so
// "{yag},{protein}" reads "3,85,3,21" as 3,85 and 3,21.
bool matchFrom(const std::vector<Piece>& pieces, size_t index, const QString& line, qsizetype at,
               CounterReading& reading)
{
    if (index == pieces.size()) return true;
    const Piece& piece = pieces[index];
    if (!piece.field) {
        if (line.mid(at, piece.literal.size()).compare(piece.literal, Qt::CaseInsensitive) != 0) return false;
        return matchFrom(pieces, index + 1, line, at + piece.literal.size(), reading);
    }
    if (piece.from) {
        if (at > *piece.from) return false;
        return take(piece, line.mid(*piece.from, *piece.to - *piece.from), reading) &&
               matchFrom(pieces, index + 1, line, *piece.to, reading);
    }
    if (index + 1 == pieces.size()) return take(piece, line.mid(at), reading);
    const Piece& next = pieces[index + 1];
    if (next.from) {
        if (at > *next.from) return false;
        return take(piece, line.mid(at, *next.from - at), reading) &&
               matchFrom(pieces, index + 1, line, at, reading);
    }
    for (qsizetype end = line.indexOf(next.literal, at, Qt::CaseInsensitive); end >= 0;
         end = line.indexOf(next.literal, end + 1, Qt::CaseInsensitive)) {
        if (take(piece, line.mid(at, end - at), reading) && matchFrom(pieces, index + 1, line, end, reading))
            return true;
    }
    return false;
}

bool tooOld(const CounterReading& reading, const QDateTime& now)
{
    if (!reading.at.isValid()) return true;
    const auto lifetime = std::chrono::duration_cast<std::chrono::milliseconds>(kReadingLifetime).count();
    // A reading ahead of the clock (the clock set back) is as doubtful as an old one.
    return std::llabs(reading.at.msecsTo(now)) > lifetime;
}

QString figure(double value)
{
    return formatFloat(kPlainPattern, value);
}

}  // namespace

LinePattern::Parsed LinePattern::parse(const QString& text)
{
    LinePattern pattern;
    pattern.text = text;
    QString literal;
    auto endLiteral = [&] {
        if (literal.isEmpty()) return;
        Piece piece;
        piece.literal = literal;
        pattern.pieces.push_back(piece);
        literal.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((c == QLatin1Char('{') || c == QLatin1Char('}')) && i + 1 < text.size() && text[i + 1] == c) {
            literal += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('}')) return {std::nullopt, error(QStringLiteral("tek başına bir } var; yazı olarak }} yazın."))};
        if (c != QLatin1Char('{')) {
            literal += c;
            continue;
        }
        const qsizetype close = text.indexOf(QLatin1Char('}'), i + 1);
        if (close < 0) return {std::nullopt, error(QStringLiteral("kapanmamış bir { var."))};
        QString why;
        const std::optional<Piece> piece = fieldPiece(text.mid(i + 1, close - i - 1), why);
        if (!piece) return {std::nullopt, why};
        endLiteral();
        pattern.pieces.push_back(*piece);
        i = close;
    }
    endLiteral();

    bool seen[5] = {};
    std::optional<int> lastColumn;
    bool anyValue = false;
    for (size_t i = 0; i < pattern.pieces.size(); ++i) {
        const Piece& piece = pattern.pieces[i];
        if (!piece.field) continue;
        const Field field = *piece.field;
        if (field != Field::Skip && std::exchange(seen[static_cast<int>(field)], true))
            return {std::nullopt, error(QStringLiteral("%1 iki kez geçiyor.").arg(fieldName(field)))};
        anyValue = anyValue || field == Field::Fat || field == Field::Protein || field == Field::Kilograms;
        if (piece.from) {
            if (lastColumn && *piece.from < *lastColumn)
                return {std::nullopt, error(QStringLiteral("%1 sütunları öncekilerle çakışıyor ya da onlardan önce geliyor.")
                                                .arg(fieldName(field)))};
            lastColumn = piece.to;
        } else if (i + 1 < pattern.pieces.size() && pattern.pieces[i + 1].field &&
                   !placedByColumns(pattern.pieces[i + 1])) {
            return {std::nullopt, error(QStringLiteral("%1 ile %2 arasında ayırıcı yazı yok; nerede bittiği bilinemez.")
                                            .arg(fieldName(field), fieldName(*pattern.pieces[i + 1].field)))};
        }
    }
    if (!anyValue) return {std::nullopt, error(QStringLiteral("okunacak alan yok: {yag}, {protein} ya da {kg} gerekli."))};
    return {std::move(pattern), {}};
}

bool LinePattern::reads(Field field) const
{
    return std::any_of(pieces.begin(), pieces.end(), [&](const Piece& p) { return p.field == field; });
}

const QList<QPair<QString, QString>>& readyAnalyserPatterns()
{
    static const QList<QPair<QString, QString>> patterns = {
        {QStringLiteral("Anahtar=değer (FAT=3.85;PROTEIN=3.21)"), QStringLiteral("FAT={yag};PROTEIN={protein}")},
        {QStringLiteral("Sabit sütunlar (03.85 03.21)"), QStringLiteral("{yag@0-5}{protein@6-11}")},
        {QStringLiteral("Noktalı virgülle sıralı (3.85;3.21;…)"), QStringLiteral("{yag};{protein};{*}")},
    };
    return patterns;
}

const QList<QPair<QString, QString>>& readyScalePatterns()
{
    static const QList<QPair<QString, QString>> patterns = {
        {QStringLiteral("Durum,tür,ağırlık (ST,GS,+0012.34kg)"), QStringLiteral("{kararli=ST},{*},{kg}kg")},
        {QStringLiteral("Yalnız ağırlık (   12.34 kg)"), QStringLiteral("{kg}kg")},
    };
    return patterns;
}

std::optional<CounterReading> readLine(const LinePattern& pattern, const QString& line, const QDateTime& at)
{
    CounterReading reading;
    if (!matchFrom(pattern.pieces, 0, line, 0, reading)) return std::nullopt;
    reading.at = at;
    reading.line = line;
    return reading;
}

Take<Analysis> takeAnalysis(const std::optional<CounterReading>& last, const QDateTime& now)
{
    if (!last) return {std::nullopt, QStringLiteral("Analizörden ölçüm gelmedi; sütü analizörde ölçün.")};
    if (tooOld(*last, now))
        return {std::nullopt, QStringLiteral("Analizörün son ölçümü %1'de geldi, iki dakikadan eski; sütü yeniden ölçün.")
                                  .arg(last->at.toString(QStringLiteral("HH:mm:ss")))};
    struct Bound {
        const std::optional<double>& value;
        const char* name;
        qint64 mostHundredths;
    };
    const Bound bounds[] = {{last->fat, "yağ", 1500}, {last->protein, "protein", 1000}};
    qint64 hundredths[2] = {};
    for (int i = 0; i < 2; ++i) {
        const Bound& b = bounds[i];
        const QString name = QString::fromUtf8(b.name);
        if (!b.value)
            return {std::nullopt, QStringLiteral("Analizörün satırında %1 oranı yok; Cihazlar penceresindeki deseni denetleyin.")
                                      .arg(name)};
        hundredths[i] = shownHundredths(*b.value);
        if (hundredths[i] < 0 || hundredths[i] > b.mostHundredths)
            return {std::nullopt, QStringLiteral("Analizörün %1 oranı yüzde %2 akla yatkın değil; 0 ile %3 arasında olmalı.")
                                      .arg(name, figure(*b.value))
                                      .arg(b.mostHundredths / 100)};
    }
    return {Analysis{static_cast<double>(hundredths[0]) / 100, static_cast<double>(hundredths[1]) / 100}, {}};
}

Take<double> takeWeight(const std::optional<CounterReading>& last, const QDateTime& now, double density)
{
    if (!(density >= 0.9 && density <= 1.1))
        return {std::nullopt, QStringLiteral("Süt yoğunluğu %1 olamaz; Cihazlar penceresinde 0,9 ile 1,1 arasında verin.")
                                  .arg(figure(density))};
    if (!last) return {std::nullopt, QStringLiteral("Teraziden tartım gelmedi; sütü tartın.")};
    if (tooOld(*last, now))
        return {std::nullopt, QStringLiteral("Terazinin son tartımı %1'de geldi, iki dakikadan eski; yeniden tartın.")
                                  .arg(last->at.toString(QStringLiteral("HH:mm:ss")))};
    if (!last->kilograms)
        return {std::nullopt, QStringLiteral("Terazinin satırında ağırlık yok; Cihazlar penceresindeki deseni denetleyin.")};
    if (last->steady == false)
        return {std::nullopt, QStringLiteral("Terazi henüz durulmadı; ağırlık sabitlenince yeniden alın.")};
    const qint64 hundredths = shownHundredths(*last->kilograms / density);
    if (hundredths <= 0)
        return {std::nullopt, QStringLiteral("Terazi %1 kg gösteriyor; ağırlık sıfırdan büyük olmalı.")
                                  .arg(figure(*last->kilograms))};
    return {static_cast<double>(hundredths) / 100, {}};
}

void LineCollector::feed(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (dropping_) dropping_ = false;
            else finishLine();
            continue;
        }
        const auto u = static_cast<unsigned char>(c);
        if (dropping_ || (u < 0x20 && c != '\t') || u == 0x7f) continue;
        partial_.append(c);
        if (partial_.size() > kMaxLineBytes) {
            partial_.clear();
            dropping_ = true;
        }
    }
}

std::optional<QString> LineCollector::takeLine()
{
    if (lines_.empty()) return std::nullopt;
    QString line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

void LineCollector::finishLine()
{
    if (!partial_.trimmed().isEmpty()) lines_.push_back(QString::fromLatin1(partial_));
    partial_.clear();
}
