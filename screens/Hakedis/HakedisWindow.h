#pragma once

#include "screens/FormWindow.h"
#include "screens/Hakedis/Hakedis.h"

class HakedisWindow : public FormWindow, public SettlementPreview {
    Q_OBJECT
public:
    explicit HakedisWindow(THakedisF& screen);
    ~HakedisWindow() override;

    void previewSlips(const Settlement& settlement, bool twoPerA4) override;
    void previewPayouts(const Settlement& settlement, const PayoutList& payouts) override;

private:
    THakedisF& screen_;
};
