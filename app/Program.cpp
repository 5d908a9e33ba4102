#include "app/Program.h"

bool Program::start(const QString& databasePath)
{
    const StartOutcome outcome = openOrCreate(AnaMenuF.sutConnection, databasePath,
                                              [this](const QString& question) { return dialogs_.confirm(question); });
    if (outcome == StartOutcome::Declined) return false;
    screens = std::make_unique<ScreenSet>(AnaMenuF.sutConnection, dialogs_);
    AnaMenuF.attach(screens->forms);
    return true;
}
