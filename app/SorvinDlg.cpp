#include "SorvinDlg.h"

#include "AboutDlg.h"
#include "InboxWindow.h"
#include "MprisPlayer.h"
#include "ProgramState.h"
#include "RecordingsWindow.h"
#include "RemoteReport.h"
#include "Settings.h"
#include "TypistPlayback.h"
#include "platform/FileSystem.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBoxes.h"
#include "platform/qt/QtWindowTimers.h"
#include "resources/Resources.h"
#include "ui/MainLayout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <cstdio>
#include <cstdlib>

namespace {

// Named after the lock the recorder has always used, so that one user never runs two recorders.
const char* const kInstanceName = "DonotRepeatPemuProgram";
const char* const kSkinFile = "res/Rgn.bmp";

constexpr unsigned kKeepAliveMs = 300000;
constexpr unsigned kPollMs = 100;
constexpr unsigned kWatchMs = 1000;

const QColor kDisplayColour(0x07, 0xD2, 0xD4);

void ExitNow(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace

CSorvinDlg::CSorvinDlg(QWidget* parent)
    : CSkinDialog(parent), m_SectionText(this), m_StatusText(this), m_TimeText(this), m_SpeedText(this),
      m_BtnPlay(1001, this), m_BtnRecord(1000, this), m_BtnSection(1002, this), m_BtnRewind(1005, this),
      m_BtnForward(1004, this), m_BtnVolUp(1010, this), m_BtnVolDown(1011, this), m_BtnMute(1012, this),
      m_BtnSectionUp(1007, this), m_BtnSectionDown(1006, this), m_BtnClose(2, this), m_BtnMinimize(1, this),
      m_BtnFileUp(1016, this), m_BtnFileDown(1017, this), m_BtnSave(1003, this), m_BtnSetup(1018, this),
      m_VolumePicture(this), m_BatteryPicture(this), m_LevelMeter(this), m_ExitProcess(&ExitNow) {
    setWindowTitle("Tavlo");
    m_hIcon = LoadIconResource(151);
}

CSorvinDlg::~CSorvinDlg() = default;

void CSorvinDlg::UseTimers(platform::IWindowTimers* timers) {
    m_Timers = timers;
}

void CSorvinDlg::SetExitProcess(void (*exitProcess)(int)) {
    m_ExitProcess = exitProcess;
}

std::array<CSkinButton*, 16> CSorvinDlg::Buttons() {
    return {&m_BtnPlay,    &m_BtnRecord,   &m_BtnSection,   &m_BtnRewind,      &m_BtnForward, &m_BtnVolUp,
            &m_BtnVolDown, &m_BtnMute,     &m_BtnSectionUp, &m_BtnSectionDown, &m_BtnClose,   &m_BtnMinimize,
            &m_BtnFileUp,  &m_BtnFileDown, &m_BtnSave,      &m_BtnSetup};
}

CSkinButton* CSorvinDlg::ButtonById(int id) {
    for (CSkinButton* button : Buttons())
        if (button->ControlId() == id)
            return button;
    return nullptr;
}

void CSorvinDlg::OnInitDialog() {
    // 1. One recorder per user: a second start ends here, before anything is shown.
    if (!TakeInstance())
        return;
    // 2. The controls take their places on the window.
    PlaceControls();
    // 3. The display's colour depth is the desktop's business on Linux: Qt paints the skin at
    //    whatever depth the screen has, so nothing is changed here.
    // 4. Start values.
    SetStartValues();
    // 5. The start-up directory holds Recorder.ini and res/.
    if (!platform::FileSystem().GetCurrentDirectory(m_WorkDir)) {
        m_WorkDir.clear();
        platform::MessageBoxes().Show("No Found Recorder.ini", "Tavlo", platform::MessageIcon::Exclamation);
        // The program may have been ended while the box was open.
        if (Ended())
            return;
    }
    // 6. Buttons.
    SetUpButtons();
    // The timers exist from here on, even in a window without its skin, whose buttons still run
    // commands that start and stop them; they start at step 16.
    if (!m_Timers) {
        auto timers = std::make_unique<platform::QtWindowTimers>(this);
        m_Timers = timers.get();
        m_OwnTimers = std::move(timers);
    }
    m_Timers->SetHandler([this](unsigned id) { OnTimer(id); });
    // 7. Without its skin the window stays rectangular and nothing else starts.
    // 8. and 9. Shape the window after the skin, give it the skin's size and keep the skin for painting.
    if (!ApplySkin(kSkinFile))
        return;
    // 10. Pictures.
    ShowVolumePicture(7);
    ShowBatteryPicture(0);
    // 11. Settings, then the recordings folder.
    LoadSettings();
    ScanFolder();
    // 12. The receiver.
    OpenReceiverAtStart();
    // 13. A frameless window has no system menu: "About Tavlo" is on the window's right-click
    //     menu instead (see contextMenuEvent), with "Recordings" (Ctrl+L).
    SetUpRecordingsWindow();
    SetUpTypistKeys();
    // 14. Icons.
    setWindowIcon(m_hIcon);
    // 15. The free-disk-space check, then the texts' colours.
    CheckDiskSpace();
    StyleTexts();
    // 16. Timers.
    StartTimers();
    // 17. Greet the remote unit.
    GreetRemote();
    // The media keys, where there is a session bus; the program works the same without one.
    m_Mpris = new CMprisPlayer(*this);
    m_Mpris->Register(QDBusConnection::sessionBus());
    // 18. Done.
}

bool CSorvinDlg::TakeInstance() {
    platform::IInstanceLock& lock = platform::InstanceLock();
    // It brings the running one forward first, so that starting it again from the menu finds it.
    if (lock.IsHeld(kInstanceName) || !lock.Take(kInstanceName)) {
        platform::CallRunningInstance(lock.CallPath(kInstanceName));
        m_ExitProcess(0);
        return false;
    }
    connect(&m_Calls, &platform::InstanceCalls::Called, this, &CSkinDialog::BringToFront);
    m_Calls.Listen(lock.CallPath(kInstanceName));
    return true;
}

void CSorvinDlg::PlaceControls() {
    const auto place = [](QWidget& widget, int id) {
        if (const ui::MainControl* c = ui::FindMainControl(id))
            widget.setGeometry(c->Rect.X, c->Rect.Y, c->Rect.Width, c->Rect.Height);
    };
    for (CSkinButton* button : Buttons()) {
        const int id = button->ControlId();
        place(*button, id);
        connect(button, &QAbstractButton::clicked, this, [this, id] { OnButton(id); });
    }
    place(m_BatteryPicture, 1014);
    place(m_VolumePicture, 1013);
    m_LevelMeter.setGeometry(ui::kLevelMeter.X, ui::kLevelMeter.Y, ui::kLevelMeter.Width,
                             ui::kLevelMeter.Height);
    m_LevelMeter.hide();
    for (auto [text, id] :
         {std::pair{&m_SectionText, 1031}, {&m_StatusText, 1032}, {&m_TimeText, 1033}, {&m_SpeedText, 1030}})
        place(*text, id);
    // The display reads like a recorder's: the time large, the rest in a firm small face.
    QFont displayFont("DejaVu Sans", 10, QFont::DemiBold);
    for (CColorStatic* text : {&m_SectionText, &m_StatusText, &m_SpeedText})
        text->setFont(displayFont);
    m_TimeText.setFont(QFont("DejaVu Sans Mono", 18, QFont::Bold));
}

void CSorvinDlg::SetStartValues() {
    m_FirstFocus = true;
    m_Channels = 1;
    m_State = TransportState::Idle;
    m_Muted = false;
    m_BatteryLevel = 0;
    m_SoundLevel = 7;
    m_MinFreeSpaceMB = 50;
    g_RescanFolder = true;
    g_DeviceOpen = true;
    g_AwaitReconnect = g_KeyHeld = g_HoldForward = g_LinkUp = g_DeviceLost = g_DiskFull = false;
    g_HoldCount = g_LastSectionStart = g_PlayLength = 0;
}

void CSorvinDlg::OpenReceiverAtStart() {
    if (OpenReceiver()) {
        m_strStatus = "Ready";
        m_strSection = " ";
        m_strTime = " ";
    } else {
        m_strStatus = "Detect No Device!";
        g_DeviceOpen = false;
        char why[256] = "";
        m_Hid.GetLastError(why, sizeof why);
        SetStatusReason(why);
    }
    UpdateTexts();
}

// Black on the display colour; the speed text blinks black and white.
void CSorvinDlg::StyleTexts() {
    for (CColorStatic* text : {&m_SectionText, &m_StatusText, &m_TimeText, &m_SpeedText}) {
        text->ChooseBlinkBkColors(kDisplayColour, kDisplayColour);
        text->BeginBkBlink();
        if (text == &m_SpeedText)
            text->ChooseBlinkTextColors(Qt::black, Qt::white);
        else
            text->ChooseBlinkTextColors(Qt::black, Qt::black);
        text->BeginTextBlink();
    }
}

void CSorvinDlg::StartTimers() {
    m_Timers->SetTimer(TIMER_KEEPALIVE, kKeepAliveMs);
    if (g_DeviceOpen)
        m_Timers->SetTimer(TIMER_POLL, kPollMs);
    m_Timers->SetTimer(TIMER_WATCH, kWatchMs);
    // The pedal is looked for from the first tick on, whether the receiver is there or not.
    m_Timers->SetTimer(TIMER_PEDAL, kPedalLookMs);
}

// The volume, then idle. Sends to a missing device fail quietly.
void CSorvinDlg::GreetRemote() {
    m_SoundLevel = 7;
    SendCommand(remote::VolumeCommand(m_SoundLevel));
    ProbeDevice();
    SendCommand(remote::kIdle);
}

void CSorvinDlg::SetUpButtons() {
    for (CSkinButton* button : Buttons()) {
        const ui::MainControl& control = *ui::FindMainControl(button->ControlId());
        button->AssignImagesFromResources(control.LitBitmap, kButtonKey, control.NormalBitmap, kButtonKey);
        button->m_DrawBorder = false;
        button->AssignTipFromString(control.TipString);
        button->AssignCursor(183);
    }
    m_BtnRecord.m_bRecordLook = 0;
    m_BtnMute.m_bMuteLook = 0;
}

void CSorvinDlg::LoadSettings() {
    LoadSettingsFrom(m_WorkDir);
    m_StepBack = LoadStepBack(m_WorkDir);
}

void CSorvinDlg::SetStatusReason(const std::string& why) {
    m_StatusReason = {m_strStatus, why};
    UpdateTexts();
}

void CSorvinDlg::UpdateTexts() {
    m_SectionText.setText(QString::fromStdString(m_strSection));
    m_StatusText.setText(QString::fromStdString(m_strStatus));
    m_StatusText.setToolTip(m_strStatus == m_StatusReason.For ? QString::fromStdString(m_StatusReason.Why)
                                                              : QString());
    m_TimeText.setText(QString::fromStdString(m_strTime));
    m_SpeedText.setText(QString::fromStdString(m_strSpeed));
}

// The pictures lie beside the program, in the start-up directory's res/ folder; the current
// directory is the recordings folder by the time the levels change.
void CSorvinDlg::ShowVolumePicture(int level) {
    m_VolumePicture.setPixmap(
        QPixmap(QString::fromStdString(m_WorkDir + "/res/vol-" + std::to_string(level) + ".bmp")));
}

void CSorvinDlg::ShowBatteryPicture(int level) {
    m_BatteryPicture.setPixmap(
        QPixmap(QString::fromStdString(m_WorkDir + "/res/battery-" + std::to_string(level) + ".bmp")));
}

bool CSorvinDlg::ProbeDevice() {
    if (OpenReceiver())
        return true;
    g_DeviceOpen = false;
    if (m_Timers)
        m_Timers->KillTimer(TIMER_POLL);
    // A probe fails during a replug or a USB reset too: the device watch must bring the poll
    // back when the receiver answers again, as after a loss it saw itself.
    g_AwaitReconnect = true;
    return false;
}

void CSorvinDlg::SteadyTime() {
    m_TimeText.ChooseBlinkTextColors(Qt::black, Qt::black);
}

void CSorvinDlg::SetImages(CSkinButton& button, const ui::Pictures& pictures) {
    // Drawn from the state after every event: a button that already wears them is left alone.
    if (button.PictureIds() != std::pair{pictures.Lit, pictures.Normal})
        button.AssignImagesFromResources(pictures.Lit, kButtonKey, pictures.Normal, kButtonKey);
}

std::uint64_t CSorvinDlg::SecondBytes() const {
    const std::uint64_t bytes = 10ull * m_Player.m_BufferSize;
    return bytes ? bytes : 1;
}

SectionCursor CSorvinDlg::ReaderSections() {
    return {m_pReader->m_pFirstSection, m_pReader->m_pCurSection, m_pReader->m_SectionCount};
}

void CSorvinDlg::SendCommand(std::uint8_t command) {
    // Kelvane writes as many bytes as the device's output reports hold, which a device with the
    // receiver's ids may declare longer than the receiver's 8.
    int outputLength = 0;
    m_Hid.GetReportLengths(nullptr, &outputLength);
    remote::Report report = remote::Report::Command(command, outputLength);
    m_Hid.Write(report.Data());
}

void CSorvinDlg::OnButton(int id) {
    // Each button's command, by control id.
    static constexpr std::pair<int, void (CSorvinDlg::*)()> kCommands[] = {
        {1, &CSorvinDlg::OnOK},
        {2, &CSorvinDlg::OnCancel},
        {1000, &CSorvinDlg::OnRecord},
        {1001, &CSorvinDlg::OnPlayPause},
        {1002, &CSorvinDlg::OnSectionStop},
        {1003, &CSorvinDlg::OnFileEndSave},
        {1004, &CSorvinDlg::OnFastForward},
        {1005, &CSorvinDlg::OnRewind},
        {1006, &CSorvinDlg::OnSectionDown},
        {1007, &CSorvinDlg::OnSectionUp},
        {1010, &CSorvinDlg::OnVolumeUp},
        {1011, &CSorvinDlg::OnVolumeDown},
        {1012, &CSorvinDlg::OnMute},
        {1016, &CSorvinDlg::OnFileUp},
        {1017, &CSorvinDlg::OnFileDown},
        {1018, &CSorvinDlg::OnSetup},
    };
    for (const auto& [control, command] : kCommands)
        if (control == id)
            (this->*command)();
}

void CSorvinDlg::OnOK() {
    showMinimized();
}

void CSorvinDlg::OnCancel() {
    Apply(TransportEvent::Close);
}

void CSorvinDlg::EndProgram() {
    Enter(TransportState::Ending);
    ProbeDevice();
    SendCommand(remote::kIdle);
    m_Recorder.Terminate();
    m_Player.Terminate();
    m_pWriter.reset();
    m_pReader.reset();
    if (g_DeviceOpen) {
        m_Hid.CloseRead();
        m_Hid.CloseWrite();
    }
    m_Pedal.CloseRead();
    m_Pedal.CloseWrite();
    if (m_Timers)
        for (unsigned id = TIMER_FORWARD; id <= TIMER_PEDAL; ++id)
            m_Timers->KillTimer(id);
    CloseNestedDialogs();
    EndDialog(QDialog::Rejected);
}

// A menu, a message box, Setup, About or a rename may be running its own loop inside this
// window's: each is closed, so that its loop returns, the code after it sees the program ending,
// and the process ends instead of waiting for a person to close them.
void CSorvinDlg::CloseNestedDialogs() {
    while (QWidget* popup = QApplication::activePopupWidget())
        if (!popup->close())
            break;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog != this && dialog->isVisible())
            dialog->reject();
}

void CSorvinDlg::OnTimer(unsigned id) {
    switch (id) {
    case TIMER_FORWARD:
        OnForwardTick();
        break;
    case TIMER_REWIND:
        OnRewindTick();
        break;
    case TIMER_CLOCK:
        OnClockTick();
        break;
    case TIMER_POLL:
        OnPollTick();
        break;
    case TIMER_KEEPALIVE:
        OnKeepAliveTick();
        break;
    case TIMER_WATCH:
        OnWatchTick();
        break;
    case TIMER_PEDAL:
        OnPedalTick();
        break;
    default:
        break;
    }
}

void CSorvinDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CSorvinDlg::closeEvent(QCloseEvent* event) {
    // The window's close is the cancel command; the closing sequence decides whether it closes.
    // Once the program ends the window closes as asked (the application closes its windows on quit).
    if (Ended()) {
        event->accept();
        return;
    }
    event->ignore();
    OnCancel();
}

// Enter is the OK command even though no button is a default button.
void CSorvinDlg::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        OnOK();
        return;
    }
    CSkinDialog::keyPressEvent(event);
}

void CSorvinDlg::focusInEvent(QFocusEvent* event) {
    CSkinDialog::focusInEvent(event);
    FirstFocus();
}

// Focus goes to a child widget in Qt, so the window's first activation stands for its first focus.
void CSorvinDlg::changeEvent(QEvent* event) {
    CSkinDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FirstFocus();
}

void CSorvinDlg::FirstFocus() {
    if (!m_FirstFocus)
        return;
    m_FirstFocus = false;
    for (CSkinButton* button : Buttons())
        button->UseParentBackground();
}

void CSorvinDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    FillWindowMenu(menu);
    menu.exec(event->globalPos());
}

void CSorvinDlg::FillWindowMenu(QMenu& menu) {
    if (m_RecordingsAction)
        menu.addAction(m_RecordingsAction);
    menu.addAction("Open recordings folder", this, &CSorvinDlg::OnOpenRecordingsFolder);
    menu.addAction("Dictation settings…", this, &CSorvinDlg::OnDictationSettings);
    menu.addAction("Inbox…", this, &CSorvinDlg::OnInbox);
    const QString about = LoadStringResource(101);
    if (about.isEmpty())
        return;
    menu.addSeparator();
    menu.addAction(about, this, &CSorvinDlg::OnAbout);
}
