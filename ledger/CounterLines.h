#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

#include <chrono>
#include <deque>
#include <optional>
#include <vector>

// The counter's devices, the milk analyser and the scale, each send a text
// line per measurement. The collector describes his device's line in the
// "Cihazlar" window with a pattern: literal text and fields in braces.
//
//   {yag}        fat %             {kg}         weight in kilograms
//   {protein}    protein %         {*}          anything, skipped
//   {kararli}    steadiness marker: steady when its text is "ST"
//   {kararli=M}  steady when its text is M (any text without braces)
// Names are read regardless of letter case; "yağ" and "kararlı" do too.
//
// A field is placed in one of two ways:
//  - by what surrounds it: "FAT={yag};PRO={protein}". It takes the text up
//    to the literal text after it (the nearest place that lets the rest of
//    the line match: "{yag},{protein}" reads "3,85,3,21" as 3,85 and 3,21),
//    or up to the next column field, or, last in the pattern, the rest of
//    the line. Two such fields need literal text between them.
//  - by columns: "{yag@0-5}{protein@6-11}". Columns count from 0, the first
//    inclusive, the second exclusive: @0-5 is the first five characters.
//    What a column field skips over is ignored, and a shorter line gives it
//    what it has.
// The line is read from its first character ("{*}FAT={yag}" to skip a
// head); what follows the pattern's end is ignored. Literal text matches regardless of letter case; "{{" and "}}"
// stand for a brace. A number may have a sign, spaces around it and after
// the sign, and a decimal point or comma: " + 0012,34" is 12.34.
struct LinePattern {
    enum class Field { Fat, Protein, Kilograms, Steady, Skip };
    struct Piece {
        // A literal piece when field is empty.
        std::optional<Field> field;
        QString literal;
        // Columns [from, to) for a field placed by columns.
        std::optional<int> from;
        std::optional<int> to;
        // The steady text of {kararli}.
        QString steadyMark;
    };

    struct Parsed;
    // The pattern, or a Turkish message saying what is wrong in it.
    static Parsed parse(const QString& text);

    QString text;
    std::vector<Piece> pieces;

    // Whether the pattern reads the field.
    bool reads(Field field) const;
};

struct LinePattern::Parsed {
    std::optional<LinePattern> pattern;
    QString error;  // "Desende ..." when there is no pattern
};

// Offered in the "Cihazlar" window: (title, pattern text).
const QList<QPair<QString, QString>>& readyAnalyserPatterns();
const QList<QPair<QString, QString>>& readyScalePatterns();

// What a matching line said. A field the pattern does not read stays empty.
struct CounterReading {
    std::optional<double> fat;
    std::optional<double> protein;
    std::optional<double> kilograms;
    std::optional<bool> steady;
    QDateTime at;
    QString line;
};

// The reading of the line at the moment it came; none when it does not match.
std::optional<CounterReading> readLine(const LinePattern& pattern, const QString& line, const QDateTime& at);

// A reading older than this is not taken: the milk on the counter has changed.
inline constexpr std::chrono::seconds kReadingLifetime{120};
// Kilograms of milk per litre, when the collector has not set his own.
inline constexpr double kDefaultDensity = 1.030;

// A value for the intake screen, or in Turkish why there is none.
template <typename T>
struct Take {
    std::optional<T> value;
    QString refusal;

    explicit operator bool() const { return value.has_value(); }
};

struct Analysis {
    double fat = 0;      // %, two decimals
    double protein = 0;  // %, two decimals
};

// Fat and protein rounded to two decimals, as typed into their boxes; refused
// when there is no reading, it is older than kReadingLifetime, a field is
// missing or out of bounds (fat 0–15 %, protein 0–10 %).
Take<Analysis> takeAnalysis(const std::optional<CounterReading>& last, const QDateTime& now);
// Litres = kilograms ÷ density, to two decimals as the litres box holds them;
// refused when there is no reading, it is older than kReadingLifetime, the
// scale said it was not steady, the weight is missing, zero or negative, or
// the density is not that of milk (0.9–1.1).
Take<double> takeWeight(const std::optional<CounterReading>& last, const QDateTime& now,
                        double density = kDefaultDensity);

// Cuts a device's byte stream into lines. A line ends with CR, LF or CRLF;
// blank lines are left out, and so are control bytes (a scale's STX/ETX
// framing). A line running past kMaxLineBytes without an end is garbage
// (a wrong speed, noise): it is dropped up to its end. Bytes are Latin-1.
class LineCollector {
public:
    static constexpr qsizetype kMaxLineBytes = 256;

    void feed(QByteArrayView bytes);
    // The oldest complete line not taken yet.
    std::optional<QString> takeLine();

private:
    void finishLine();

    QByteArray partial_;
    bool dropping_ = false;
    std::deque<QString> lines_;
};
