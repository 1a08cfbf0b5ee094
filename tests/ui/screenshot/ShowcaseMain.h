#pragma once
#include "ui/CSkinDialog.h"

// The main window's face as the main window builds it: the skin "res/Rgn.bmp" with every button,
// text and picture of ui/MainLayout.h in place. Used to take screenshots of the skin under X.
class ShowcaseMain : public CSkinDialog {
public:
    explicit ShowcaseMain(const QString& resDir);

protected:
    void OnInitDialog() override;

private:
    QString m_ResDir;
};
