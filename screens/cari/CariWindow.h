#pragma once

#include "common/widgets/ScreenWindow.h"

class TcariF;

class CariWindow : public ScreenWindow {
    Q_OBJECT
public:
    explicit CariWindow(TcariF& screen);
};
