#include "WindSteps.h"

namespace {

struct SpeedRow {
    std::uint32_t Speed;
    WindStep Forward;
    WindStep Rewind;
};

// Rewind takes bigger, slower steps at the top speeds so that it stays easy to follow by ear.
constexpr SpeedRow kSteps[] = {
    {2, {1000, 1}, {400, 2}}, {4, {500, 1}, {250, 2}},   {8, {250, 1}, {150, 2}},
    {16, {250, 3}, {500, 9}}, {32, {250, 7}, {500, 16}},
};

const SpeedRow* Find(std::uint32_t speed) {
    for (const SpeedRow& row : kSteps)
        if (row.Speed == speed)
            return &row;
    return nullptr;
}

} // namespace

std::optional<WindStep> ForwardStep(std::uint32_t speed) {
    if (const SpeedRow* row = Find(speed))
        return row->Forward;
    return std::nullopt;
}

std::optional<WindStep> RewindStep(std::uint32_t speed) {
    if (const SpeedRow* row = Find(speed))
        return row->Rewind;
    return std::nullopt;
}
