#pragma once

#include "screens/FormWindow.h"

class TcariF;

class CariWindow : public FormWindow {
    Q_OBJECT
public:
    explicit CariWindow(TcariF& screen);
};
