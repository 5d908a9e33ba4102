#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// While it lives, answers every message box that opens, and keeps what the
// last one said. NoButton answers with Enter, as a hurried collector does.
class ModalCatcher {
public:
    explicit ModalCatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            ++count;
            lastText = box->text();
            lastTitle = box->windowTitle();
            lastWidth = box->width();
            if (answer_ == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Return);
            else if (QAbstractButton* button = box->button(answer_))
                button->click();
            else
                box->done(answer_);
        });
        timer_.start();
    }

    int count = 0;
    QString lastText;
    QString lastTitle;
    int lastWidth = 0;

private:
    QMessageBox::StandardButton answer_;
    QTimer timer_;
};
