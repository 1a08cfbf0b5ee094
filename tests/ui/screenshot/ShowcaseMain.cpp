#include "ShowcaseMain.h"
#include "ui/ButtonLooks.h"
#include "ui/CColorStatic.h"
#include "ui/CLevelMeter.h"
#include "ui/CSkinButton.h"
#include "ui/MainLayout.h"

#include <QLabel>

ShowcaseMain::ShowcaseMain(const QString& resDir) : m_ResDir(resDir) {}

void ShowcaseMain::OnInitDialog() {
    const QColor status(ui::kStatusRed, ui::kStatusGreen, ui::kStatusBlue);
    const std::pair<int, const char*> texts[] = {
        {1031, "Section 2"}, {1032, "20261207-101500.wav"}, {1033, "00 : 12 : 34"}, {1030, "4X"}};
    for (const ui::MainControl& c : ui::kMainControls) {
        const QRect r(c.Rect.X, c.Rect.Y, c.Rect.Width, c.Rect.Height);
        if (c.Kind == ui::MainControlKind::Button) {
            auto* b = new CSkinButton(c.Id, this);
            b->setGeometry(r);
            b->AssignImagesFromResources(c.LitBitmap, ui::kButtonKeyColour, c.NormalBitmap,
                                         ui::kButtonKeyColour);
            b->m_DrawBorder = false;
            b->AssignTipFromString(c.TipString);
            b->AssignCursor(183);
            b->UseParentBackground();
        } else if (c.Kind == ui::MainControlKind::Picture) {
            auto* picture = new QLabel(this);
            picture->setGeometry(r);
            picture->setPixmap(QPixmap(m_ResDir + (c.Id == 1013 ? "/vol-7.bmp" : "/battery-3.bmp")));
        } else {
            auto* text = new CColorStatic(this);
            text->setGeometry(r);
            for (const auto& [id, words] : texts) {
                if (id == c.Id) {
                    text->setText(words);
                }
            }
            text->ChooseBlinkBkColors(status, status);
            text->BeginBkBlink();
            text->ChooseBlinkTextColors(Qt::black, Qt::black);
            text->BeginTextBlink();
        }
    }
    // Recording: the input's level at -6 dB, eleven of twelve segments.
    auto* meter = new CLevelMeter(this);
    meter->setGeometry(ui::kLevelMeter.X, ui::kLevelMeter.Y, ui::kLevelMeter.Width, ui::kLevelMeter.Height);
    meter->SetPeak(16384);
    ApplySkin(m_ResDir + "/Rgn.bmp");
}
