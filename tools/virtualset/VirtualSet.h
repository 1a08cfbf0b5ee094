// The virtual recorder set: the receiver under umockdev, the remote's keys, link and battery, the
// microphone, and the real Tavlo started against them. Every report both ways is logged on standard
// output with a time stamp; commands come from standard input or from the window.
#pragma once

#include "RemoteProtocol.h"
#include "SoundServer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

class EmulatedHidBus;

namespace virtualset {

struct Options {
    QString Tavlo;      // the program to start
    QString Folder;     // where Tavlo starts (Recorder.ini, res/, recordings)
    QString SpeechFile; // empty: espeak-ng
    bool StartTavlo = true;
    QStringList TavloEnv; // NAME=VALUE entries for Tavlo's environment (another display, say)
};

class VirtualSet {
public:
    explicit VirtualSet(Options options);
    ~VirtualSet();

    // Sound server, receiver, then Tavlo. False (with a line on standard error) when one cannot start.
    bool Start();

    // One command line: press KEY, hold KEY MS, unplug, plug, battery N, link off|on, send HEX...,
    // flood N CODE, vanish-on-output, signal NAME, start, echo TEXT, quit. Commands run in order: a hold
    // delays the ones after it until the key is released.
    void Command(const QString& line);

    // The window's keys: down and up as the hand presses and releases them.
    void KeyDown(const RemoteKey& key);
    void KeyUp(const RemoteKey& key);
    void SetLink(bool on);
    void SetBattery(int level);

    const RemoteLights& Lights() const { return m_Lights; }
    bool LinkOn() const { return m_LinkOn; }
    bool Plugged() const { return m_Node >= 0; }
    int Battery() const { return m_Battery; }
    const RemoteKey* HeldKey() const { return m_Held; }

    std::function<void()> OnChanged; // the window repaints
    std::function<void()> OnQuit;    // the program ends

private:
    void RunQueued();
    bool RunOne(const QString& line);
    void Log(const QString& text);
    void SendEvent(std::uint8_t code);
    void SendWire(const Report& bytes);
    void ReadOutput();
    bool Plug();
    void Unplug();
    void StartTavlo();
    void Changed();

    Options m_Options;
    SoundServer m_Sound;
    std::unique_ptr<EmulatedHidBus> m_Bus;
    std::unique_ptr<QSocketNotifier> m_OutputWatch;
    Report m_Pending;   // output bytes not yet a whole report
    int m_Node = -1;    // hidraw node of the plugged receiver, -1: unplugged
    int m_NextNode = 0; // umockdev cannot make a node again where one was removed
    bool m_VanishOnOutput = false;
    QProcess m_Tavlo;
    QElapsedTimer m_Clock;

    RemoteLights m_Lights;
    bool m_LinkOn = true;
    int m_Battery = 5;
    const RemoteKey* m_Held = nullptr;
    QTimer m_Repeat;  // reports while a key is held
    QTimer m_Release; // end of a scripted hold
    std::deque<QString> m_Queue;
    bool m_Quitting = false;
    // Tavlo was sent a signal: its end is the test's doing, and the set stays up for a new start.
    bool m_EndExpected = false;
};

} // namespace virtualset
