#include "PedalReport.h"

namespace pedal {

namespace {

struct Pedal {
    std::uint8_t Bit;
    TransportEvent Down;
    TransportEvent Up;
};

constexpr Pedal kPedalEvents[] = {
    {kLeft, TransportEvent::PedalLeftDown, TransportEvent::PedalLeftUp},
    {kMiddle, TransportEvent::PedalMiddleDown, TransportEvent::PedalMiddleUp},
    {kRight, TransportEvent::PedalRightDown, TransportEvent::PedalRightUp},
};

} // namespace

std::vector<TransportEvent> Edges(std::uint8_t before, std::uint8_t now) {
    std::vector<TransportEvent> events;
    for (const Pedal& p : kPedalEvents)
        if ((before & p.Bit) && !(now & p.Bit))
            events.push_back(p.Up);
    for (const Pedal& p : kPedalEvents)
        if (!(before & p.Bit) && (now & p.Bit))
            events.push_back(p.Down);
    return events;
}

} // namespace pedal
