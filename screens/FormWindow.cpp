#include "screens/FormWindow.h"

#include "common/widgets/Events.h"
#include "screens/Forms.h"

#include "common/widgets/ErrorBox.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QShortcut>

FormWindow::FormWindow(const QString& caption, TForm& screen) : ScreenWindow(caption), screen_(screen)
{
    screen_.attachWindow(&control());
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { guarded([this] { this->escape(); }); });
}

bool FormWindow::holdsTyping() const
{
    // A box keeps its modified mark from the collector's typing until the
    // program sets its text: a save, "Yeni", the next producer.
    for (const QLineEdit* box : findChildren<QLineEdit*>())
        if (box->isModified() && !box->isReadOnly() && box->isVisibleTo(this) && !box->text().isEmpty()) return true;
    return false;
}

void FormWindow::escape()
{
    if (escapeFirst_ && escapeFirst_()) return;
    if (!holdsTyping()) screen_.kapatButtonClick();
}

FormWindow::~FormWindow()
{
    screen_.attachWindow(nullptr);
}

void FormWindow::showEvent(QShowEvent* event)
{
    ScreenWindow::showEvent(event);
    QWidget* focused = focusWidget();
    if (start_ && (!focused || qobject_cast<QAbstractButton*>(focused))) start_->setFocus(Qt::TabFocusReason);
}

void FormWindow::setControls(std::initializer_list<std::pair<QWidget*, const char*>> order)
{
    setControlOrder(order);
    installFormKeyHandler(this);
    // A box the screen empties (a save, "Yeni") starts a new entry: what
    // was typed before has been taken, even where a box keeps its text.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::textChanged, this, [this, box](const QString& text) {
            if (!text.isEmpty() || box->isModified()) return;
            for (QLineEdit* other : findChildren<QLineEdit*>()) other->setModified(false);
        });
}
