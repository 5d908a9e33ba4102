#pragma once

#include "common/Platform.h"

#include <QStringList>

// Records every box the screens open and answers from what the test set.
class FakeDialogs : public Dialogs {
public:
    void message(const QString& text) override { messages << text; }
    bool confirm(const QString& text) override
    {
        questions << text;
        return confirmAnswer;
    }
    bool confirmDefaultNo(const QString& text) override { return confirm(text); }
    Answer askYesNoCancel(const QString& text) override
    {
        questions << text;
        return yesNoCancelAnswer;
    }
    Answer askSaveBeforeClosing(const QString& text) override
    {
        questions << text;
        return closeAnswer;
    }
    QString askCsvPath(const QString& suggestedName) override
    {
        csvOffers << suggestedName;
        return csvPath;
    }
    QString askXlsxPath(const QString& suggestedName) override
    {
        xlsxOffers << suggestedName;
        return xlsxPath;
    }

    std::optional<QDate> askDate(const QString& text, const QDate& offered) override
    {
        questions << text;
        if (giveUpDate) return std::nullopt;
        return dateAnswer.isValid() ? dateAnswer : offered;
    }

    QStringList messages;
    QStringList questions;
    bool confirmAnswer = true;
    Answer yesNoCancelAnswer = Answer::Yes;
    Answer closeAnswer = Answer::Cancel;
    // The names the save dialog offered, and the path it answers; empty gives up.
    QStringList csvOffers;
    QString csvPath;
    // The day the date box answers; the offered one while empty.
    QDate dateAnswer;
    bool giveUpDate = false;
    QStringList xlsxOffers;
    QString xlsxPath;
};
