#pragma once
#include <cstddef>
#include <cstdint>

// The recorder's transport as one value: what the program is doing right now. Every view (the
// window's buttons and texts, the remote unit's light, the media controls, the recordings window)
// reads it; only the main window's event dispatch changes it (TransportRules.h says how).
enum class TransportState : std::uint8_t {
    Idle,           // nothing plays and nothing records (start-up, after Stop, after a save)
    Playing,        // a file plays
    Paused,         // a file is open and paused
    ForwardPlaying, // fast forward over a playing file
    ForwardPaused,  // fast forward over a paused file: the position moves, nothing is heard
    RewindPlaying,  // rewind over a playing file
    RewindPaused,   // rewind over a paused file
    Recording,      // a recording runs
    RecordPaused,   // a recording is open and its capture paused (inside a section mark)
    Saving,         // a recording's file is being finished
    Ending,         // the program is ending: nothing more is done
};
inline constexpr std::size_t kTransportStates = 11;

// The readings the command handlers have always made of the transport, each a view of the state.
constexpr bool IsRecording(TransportState s) {
    return s == TransportState::Recording || s == TransportState::RecordPaused || s == TransportState::Saving;
}
constexpr bool IsForward(TransportState s) {
    return s == TransportState::ForwardPlaying || s == TransportState::ForwardPaused;
}
constexpr bool IsRewind(TransportState s) {
    return s == TransportState::RewindPlaying || s == TransportState::RewindPaused;
}
constexpr bool IsWinding(TransportState s) {
    return IsForward(s) || IsRewind(s);
}
// A file is open for playback: playing, paused or winding over either.
constexpr bool IsPlaying(TransportState s) {
    return s == TransportState::Playing || s == TransportState::Paused || IsWinding(s);
}
constexpr bool IsPlayPaused(TransportState s) {
    return s == TransportState::Paused || s == TransportState::ForwardPaused ||
           s == TransportState::RewindPaused;
}
// Sound comes out: playing, or winding over a playing file.
constexpr bool IsHeard(TransportState s) {
    return IsPlaying(s) && !IsPlayPaused(s);
}

constexpr bool IsStopped(TransportState s) {
    return !IsPlaying(s);
}

const char* StateName(TransportState s);

// One of those readings under the flag's old name (`m_Recording`, `m_Playing`, ...): it reads the
// state each time and cannot be set, so there is no second copy to fall out of step.
class TransportFlag {
public:
    constexpr TransportFlag(const TransportState& state, bool (*read)(TransportState))
        : m_State(state), m_Read(read) {}
    TransportFlag(const TransportFlag&) = delete;
    TransportFlag& operator=(const TransportFlag&) = delete;
    constexpr operator bool() const { return m_Read(m_State); }

private:
    const TransportState& m_State;
    bool (*m_Read)(TransportState);
};
