#pragma once

#include "screens/FormWindow.h"

class TVerilenlerF;

class VerilenlerWindow : public FormWindow {
    Q_OBJECT
public:
    explicit VerilenlerWindow(TVerilenlerF& screen);
};
