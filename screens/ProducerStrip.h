#pragma once

#include <QWidget>
#include <functional>

class NameEdit;
class QLabel;
class QPushButton;
class QueryGrid;
class TEntryForm;

// The producer list beside the intake and payment panels: the name search
// and its button, the list with "Seç" and the double-click that loads the
// producer into the panel.
class ProducerStrip : public QWidget {
    Q_OBJECT
public:
    struct Look {
        QString findCaption;
        QString listCaption;
        // The search in a framed box, labels centred, the button under it.
        bool framed = false;
    };
    ProducerStrip(TEntryForm& screen, const Look& look, QWidget* parent);

    // A button under the search, such as the one to the account screen.
    QPushButton* addButton(const QString& caption, std::function<void()> handler);
    // Where the focus goes after Enter has picked a producer from the list.
    void setAfterPick(QWidget* control) { afterPick_ = control; }

    NameEdit* searchEdit = nullptr;
    QPushButton* findButton = nullptr;
    QueryGrid* grid = nullptr;

private:
    class QVBoxLayout* searchRows_ = nullptr;
    QLabel* listLabel_ = nullptr;
    QWidget* afterPick_ = nullptr;
};

class FormWindow;

// The entry panel's line naming the row a save corrects, and Escape in the
// window giving the correction up before anything else.
QLabel* correctionLine(TEntryForm& screen, FormWindow* window, QWidget* parent);

// The panel's list worked from the keyboard: Enter or a double-click loads
// the row for correction, Delete deletes it after asking, Ctrl+Z brings the
// last deletion back.
void entryListItems(QueryGrid* list, TEntryForm& screen);
