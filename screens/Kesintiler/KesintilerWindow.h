#pragma once

#include "screens/FormWindow.h"

class TKesintilerF;

class KesintilerWindow : public FormWindow {
    Q_OBJECT
public:
    explicit KesintilerWindow(TKesintilerF& screen);
};
