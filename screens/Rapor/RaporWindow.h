#pragma once

#include "screens/FormWindow.h"
#include "screens/Rapor/Rapor.h"

#include <QElapsedTimer>

class TRaporF;

class RaporWindow : public FormWindow, public StatementPreview {
    Q_OBJECT
public:
    explicit RaporWindow(TRaporF& screen);
    ~RaporWindow() override;

    // Qt's print preview, from which the statements are printed or saved
    // as a PDF file that starts with the given name in the working folder.
    void previewStatements(const std::vector<AccountStatement>& statements, const QString& fileName) override;
    // A window with "İptal" while every producer's statement is made.
    bool progress(int done, int total) override;

private:
    void closeProgress();

    TRaporF& screen_;
    class QProgressDialog* progress_ = nullptr;
    QElapsedTimer progressShown_;
};
