#pragma once

#include "screens/FormWindow.h"

class TSutAlimF;

class SutAlimWindow : public FormWindow {
    Q_OBJECT
public:
    explicit SutAlimWindow(TSutAlimF& screen);
};
