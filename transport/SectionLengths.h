#pragma once
#include <cstdint>

// The lengths a recording's marks store, in whole seconds. A section rarely lasts whole seconds:
// dropping each mark's fraction made section n start up to n-1 seconds early. The fraction is
// carried into the next section instead, so the lengths stored so far always add up to the time
// recorded up to the last mark, rounded down: every section starts within a second of its mark,
// after any number of marks. The stored format (whole seconds per section) does not change.
class CSectionLengths {
public:
    // A new recording: nothing carried.
    void Reset() { m_CarryMs = 0; }
    // The length to store for a section that ran `elapsedMs` (negative counts as 0).
    std::uint32_t Close(std::int64_t elapsedMs);

private:
    std::uint64_t m_CarryMs = 0; // recorded, not yet stored: always below a second
};
