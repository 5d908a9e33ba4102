#pragma once

#include "common/widgets/ScreenWindow.h"

class TSutAlimF;

class SutAlimWindow : public ScreenWindow {
    Q_OBJECT
public:
    explicit SutAlimWindow(TSutAlimF& screen);
};
