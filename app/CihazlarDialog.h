#pragma once

#include <QDialog>

class CounterDevices;
class Dialogs;

// "Cihazlar": this computer's milk analyser, scale and slip printer. What it
// keeps is the user's own settings; the devices are opened again with them
// when it is saved.
class CihazlarDialog : public QDialog {
    Q_OBJECT
public:
    CihazlarDialog(CounterDevices& devices, Dialogs& dialogs, QWidget* parent = nullptr);
};
