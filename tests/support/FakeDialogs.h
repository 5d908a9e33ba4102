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

    QStringList messages;
    QStringList questions;
    bool confirmAnswer = true;
    Answer yesNoCancelAnswer = Answer::Yes;
};
