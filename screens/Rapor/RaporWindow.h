#pragma once

#include "screens/FormWindow.h"

class TRaporF;

class RaporWindow : public FormWindow {
    Q_OBJECT
public:
    explicit RaporWindow(TRaporF& screen);
};
