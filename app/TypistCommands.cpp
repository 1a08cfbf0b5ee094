// The typist's playback: the speed, the jumps of five seconds and the time copied as "[hh:mm:ss]",
// with their keys; every pause's step back is in PausePlayback (PlaybackCommands.cpp).
#include "SorvinDlg.h"
#include "TypistPlayback.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace {

constexpr std::uint64_t kJumpSeconds = 5;
constexpr unsigned kClockMs = 1000;

} // namespace

// The keys a transcription player has: F3 and F4 slower and faster, Ctrl+Left and Ctrl+Right five
// seconds back and on, Ctrl+T the time. The recordings window has the same.
void CSorvinDlg::SetUpTypistKeys() {
    const std::pair<QKeySequence, TransportEvent> keys[] = {
        {QKeySequence(Qt::Key_F3), TransportEvent::SpeedDown},
        {QKeySequence(Qt::Key_F4), TransportEvent::SpeedUp},
        {QKeySequence(Qt::CTRL | Qt::Key_Left), TransportEvent::JumpBack},
        {QKeySequence(Qt::CTRL | Qt::Key_Right), TransportEvent::JumpForward},
        {QKeySequence(Qt::CTRL | Qt::Key_T), TransportEvent::CopyPosition}};
    for (const auto& [sequence, event] : keys) {
        auto* action = new QAction(EventName(event), this);
        action->setShortcut(sequence);
        connect(action, &QAction::triggered, this, [this, event = event] { Apply(event); });
        addAction(action);
    }
}

std::uint64_t CSorvinDlg::HeardPosition() const {
    const std::uint64_t played = m_Player.PlayedPosition();
    // Until something moves it, a paused file stands where the pause was, not where it resumes.
    if (IsPlayPaused(m_State) && m_Pause && played == m_Pause->ResumeAt)
        return m_Pause->PausedAt;
    return played;
}

void CSorvinDlg::ChangeSpeed(bool faster) {
    const int speed = NextSpeed(m_Player.Speed(), faster);
    // At 0.5x or 1.5x already: nothing changes, and playback goes on without a break.
    if (speed == m_Player.Speed())
        return;
    m_Player.SetSpeed(speed);
    // Heard at once: what the engine holds at the old speed goes, and playback goes on from what
    // was heard. A wind's next step moves the file anyway.
    if (IsPlaying(m_State) && !IsWinding(m_State)) {
        m_Player.MoveTo(m_Player.PlayedPosition());
        m_Player.Start();
    }
}

void CSorvinDlg::JumpBy(bool forward) {
    const std::uint64_t by = kJumpSeconds * SecondBytes();
    const std::uint64_t from = HeardPosition();
    // The store holds a move within its samples: at most to the end, and back to the first one.
    m_Player.MoveTo(forward ? from + by : (from > by ? from - by : 0));
    m_Player.Start();
    ShowTime(m_Player.PlayedPosition() / SecondBytes());
    UpdateTexts();
    m_Timers->SetTimer(TIMER_CLOCK, kClockMs);
}

void CSorvinDlg::CopyPosition() {
    const std::string stamp = PositionStamp(HeardPosition() / SecondBytes());
    QGuiApplication::clipboard()->setText(QString::fromStdString(stamp));
}
