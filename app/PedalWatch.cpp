// Timer 7: the foot pedal. It is a device of its own, found and lost on its own: the receiver's
// presence test, its poll and what its loss does are not touched by it.
#include "PedalReport.h"
#include "SorvinDlg.h"

#include <algorithm>
#include <vector>

namespace {

// A pedal sends a report per press and per release; a tick reads what gathered since the last
// one, up to this many, so that a quick tap is both a press and a release.
constexpr int kReportsPerTick = 16;

} // namespace

bool CSorvinDlg::OpenPedal() {
    for (const pedal::PedalId& id : pedal::kKnownPedals)
        if (m_Pedal.Open(id.VendorId, id.ProductId, nullptr, nullptr, nullptr, 1) == 1)
            return true;
    return false;
}

void CSorvinDlg::OnPedalTick() {
    // 1. Without a pedal: look for one, quietly.
    if (!m_PedalOpen) {
        if (!OpenPedal())
            return;
        m_PedalOpen = true;
        m_PedalBits = 0;
        m_Timers->SetTimer(TIMER_PEDAL, kPedalPollMs);
    }
    // 2. Every report waiting, in order; each change of the pedals is its events.
    int inputLength = 0;
    m_Pedal.GetReportLengths(&inputLength, nullptr);
    std::vector<std::uint8_t> report(
        std::max<std::size_t>(static_cast<std::size_t>(std::max(inputLength, 0)), pedal::kBitsByte + 1));
    for (int n = 0; n < kReportsPerTick && !Ended(); ++n) {
        const int delivered = m_Pedal.Read(report.data());
        if (delivered < 0) {
            DropPedal();
            return;
        }
        if (delivered <= static_cast<int>(pedal::kBitsByte))
            return;
        const std::uint8_t now = report[pedal::kBitsByte] & pedal::kPedals;
        const std::uint8_t before = m_PedalBits;
        // Taken before the events run, so that a tick that comes in while a step runs a loop of
        // its own (a dialog, a message box) sees the pedals as they are.
        m_PedalBits = now;
        for (TransportEvent event : pedal::Edges(before, now))
            Apply(event);
    }
}

void CSorvinDlg::DropPedal() {
    m_Pedal.CloseRead();
    m_Pedal.CloseWrite();
    m_PedalOpen = false;
    const std::uint8_t held = m_PedalBits;
    m_PedalBits = 0;
    m_Timers->SetTimer(TIMER_PEDAL, kPedalLookMs);
    // A pedal held as it was pulled out never reports its release: nothing plays or winds on
    // under no foot.
    for (TransportEvent event : pedal::Edges(held, 0))
        Apply(event);
}
