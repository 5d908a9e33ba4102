#pragma once

#include "common/Field.h"
#include "common/GridColumns.h"
#include "screens/Form.h"
#include "store/Query.h"
#include "store/Schema.h"

// The history of corrections and deletions, newest first, over a period and
// for a code or a name; a deletion is brought back from its line.
class TGecmisF : public TForm {
public:
    TGecmisF(Ledger& ledger, Dialogs& dialogs);

    // The newest lines listed at most: whatever the history's size, a
    // search stays quick; older ones come with a narrower period.
    static constexpr int kMostLines = 500;
    // A field's text in a line of the list is cut after this many characters.
    static constexpr int kLongestInList = 200;

    DateField ilktarihDate;
    DateField sontarihDate;
    // A producer's code, or a part of a name.
    TextField AraEdit;
    // The period listed and how many changes it holds.
    TextField Label1;
    // The current line whole, nothing cut.
    TextField Ayrinti;

    Query DegisiklikQuery;
    static const std::vector<GridColumn> kColumns;

    void FormCreate();
    void Listele();
    void ListeleButClick() { Listele(); }
    // "Geri Al", and Enter on the list: the current line's deletion.
    void GeriAlButClick();
    // Puts the deleted row back; every open view that shows it follows. A
    // change that cannot be undone is told and changes nothing.
    bool geriAl(qint64 change);

    // The menu's opening: shown, then listed.
    void openFromMenu();

    // What a line says of one change: the kind of record, and in Turkish
    // what became of it, naming only the fields that changed; in the list
    // each field's text cut after kLongestInList characters, and whole.
    struct Line {
        QString record;
        QString text;
        QString whole;
    };
    static Line describe(const QString& table, ChangeKind kind, const QString& before, const QString& after);
};
