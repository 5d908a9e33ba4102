#pragma once

#include "screens/FormWindow.h"

class TKaliteFiyatiF;

class KaliteFiyatiWindow : public FormWindow {
    Q_OBJECT
public:
    explicit KaliteFiyatiWindow(TKaliteFiyatiF& screen);
};
