#pragma once

#include "screens/FormWindow.h"

class TFabrikaF;

class FabrikaWindow : public FormWindow {
    Q_OBJECT
public:
    explicit FabrikaWindow(TFabrikaF& screen);
};
