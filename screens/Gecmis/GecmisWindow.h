#pragma once

#include "screens/FormWindow.h"

class TGecmisF;

class GecmisWindow : public FormWindow {
    Q_OBJECT
public:
    explicit GecmisWindow(TGecmisF& screen);
};
