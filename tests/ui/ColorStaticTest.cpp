#include "QtTestApp.h"
#include "platform/fakes/FakeWindowTimers.h"
#include "ui/CColorStatic.h"

#include <gtest/gtest.h>

namespace {

class ColorStatic : public ::testing::Test {
protected:
    ColorStatic() {
        EnsureQtApp();
        auto timers = std::make_unique<platform::FakeWindowTimers>();
        m_Timers = timers.get();
        m_Label = std::make_unique<Counting>(std::move(timers));
        m_Label->resize(60, 20);
    }
    bool Tick() { return m_Timers->Tick(CColorStatic::kBlinkTimer); }

    struct Counting : CColorStatic {
        explicit Counting(std::unique_ptr<platform::IWindowTimers> t) : CColorStatic(nullptr, std::move(t)) {}
        int Paints = 0;
        void paintEvent(QPaintEvent* e) override {
            ++Paints;
            CColorStatic::paintEvent(e);
        }
    };

    platform::FakeWindowTimers* m_Timers;
    std::unique_ptr<Counting> m_Label;
};

TEST_F(ColorStatic, a_label_is_steady_in_the_system_colours_until_a_blink_starts) {
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(m_Label->TextColorNow(), pal.color(QPalette::ButtonText));
    EXPECT_EQ(m_Label->BkColorNow(), pal.color(QPalette::Button));
    EXPECT_FALSE(m_Timers->IsRunning(CColorStatic::kBlinkTimer));
}

TEST_F(ColorStatic, black_white_text_shows_black_first_and_flips_on_every_tick) {
    m_Label->ChooseBlinkTextColors(Qt::black, Qt::white);
    m_Label->BeginTextBlink();
    EXPECT_EQ(m_Timers->Period(CColorStatic::kBlinkTimer), 1000u);
    EXPECT_EQ(m_Label->TextColorNow(), QColor(Qt::black));
    ASSERT_TRUE(Tick());
    EXPECT_EQ(m_Label->TextColorNow(), QColor(Qt::white));
    Tick();
    EXPECT_EQ(m_Label->TextColorNow(), QColor(Qt::black));
}

TEST_F(ColorStatic, text_and_background_flip_together_on_the_one_timer) {
    const QColor status(7, 210, 212);
    m_Label->ChooseBlinkBkColors(status, QColor(Qt::red));
    m_Label->BeginBkBlink();
    m_Label->ChooseBlinkTextColors(Qt::black, Qt::white);
    m_Label->BeginTextBlink();
    EXPECT_EQ(m_Label->BkColorNow(), status);
    Tick();
    EXPECT_EQ(m_Label->BkColorNow(), QColor(Qt::red));
    EXPECT_EQ(m_Label->TextColorNow(), QColor(Qt::white));
    // The background paints in its colour of the phase.
    EXPECT_EQ(m_Label->grab().toImage().pixel(0, 0), QColor(Qt::red).rgb());
}

TEST_F(ColorStatic, starting_a_blink_restarts_the_phase_of_that_blink) {
    m_Label->ChooseBlinkTextColors(Qt::black, Qt::white);
    m_Label->BeginTextBlink();
    Tick();
    m_Label->BeginTextBlink();
    EXPECT_EQ(m_Label->TextColorNow(), QColor(Qt::black));
}

TEST_F(ColorStatic, equal_phase_colours_look_steady_but_repaint_every_tick) {
    const QColor panel(219, 218, 215);
    m_Label->ChooseBlinkBkColors(panel, panel);
    m_Label->BeginBkBlink();
    m_Label->ChooseBlinkTextColors(Qt::black, Qt::black);
    m_Label->BeginTextBlink();
    m_Label->show();
    QApplication::processEvents();
    const int before = m_Label->Paints;
    Tick();
    QApplication::processEvents();
    EXPECT_GT(m_Label->Paints, before);
    EXPECT_EQ(m_Label->BkColorNow(), panel);
    EXPECT_EQ(m_Label->TextColorNow(), QColor(Qt::black));
}

TEST_F(ColorStatic, a_tick_of_another_timer_changes_nothing) {
    m_Label->ChooseBlinkTextColors(Qt::black, Qt::white);
    m_Label->BeginTextBlink();
    m_Label->OnTimer(7);
    EXPECT_EQ(m_Label->TextColorNow(), QColor(Qt::black));
}

TEST_F(ColorStatic, a_later_colour_change_is_picked_up_by_the_running_blink) {
    m_Label->ChooseBlinkTextColors(Qt::black, Qt::black);
    m_Label->BeginTextBlink();
    m_Label->ChooseBlinkTextColors(Qt::black, QColor(255, 255, 200));
    Tick();
    EXPECT_EQ(m_Label->TextColorNow(), QColor(255, 255, 200));
}

} // namespace
