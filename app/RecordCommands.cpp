// Recording: Record, the section mark, File end and save, and the free-disk-space check.
#include "ProgramState.h"
#include "RecordingName.h"
#include "RecordingsList.h"
#include "RemoteReport.h"
#include "Settings.h"
#include "SorvinDlg.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "ui/InputChoice.h"
#include "wavefile/WaveErrors.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace {

// Shown when the capture device does not open: nothing is recorded, so nothing may look recorded.
const char* const kNoCaptureDevice = "No Recording Device!";
// How long a recording not from the receiver's microphone names its input on the status line.
constexpr std::uint64_t kInputShownSeconds = 3;
constexpr unsigned kAlertWaitMs = 3000;
constexpr unsigned kClockMs = 1000;

bool FileExists(const std::string& name) {
    std::error_code error;
    return std::filesystem::symlink_status(name, error).type() != std::filesystem::file_type::not_found;
}

} // namespace

void CSorvinDlg::SendState(std::uint8_t command) {
    ProbeDevice();
    SendCommand(command);
}

void CSorvinDlg::SendStateCode(int mode) {
    SendState(mode == 0 ? remote::kRecording : remote::kPlaying);
}

void CSorvinDlg::ReportState() {
    SendState(remote::StateCommand(m_State));
}

void CSorvinDlg::OnRecord() {
    Apply(TransportEvent::Record);
}

void CSorvinDlg::OnFileEndSave() {
    Apply(TransportEvent::FileEndSave);
}

void CSorvinDlg::StartRecording() {
    SteadyTime();
    if (!g_DeviceOpen)
        return;
    if (g_DeviceLost || !g_LinkUp) {
        m_strStatus = "Detect No Device!";
        UpdateTexts();
        return;
    }
    if (!CheckDiskSpace() || Ended())
        return;
    // Playback ends first, winding with it.
    if (IsPlaying(m_State))
        StopPlayback();
    g_RecordSection = 1;
    g_RecordSeconds = 0;
    m_SectionLengths.Reset();
    m_CaptureHeld = false;
    g_Hours = g_Minutes = g_Seconds = 0;
    if (!OpenRecording())
        return;
    Enter(TransportState::Recording);
    ReportState();
    g_RecordStartTime = platform::Clock().MonotonicMs();
    m_Recorder.Start();
    m_Timers->SetTimer(TIMER_CLOCK, kClockMs);
    // Which input records is never a surprise: another than the receiver's is named at once, and
    // the meter shows from the first tick whether any sound arrives.
    m_Recorder.TakePeak();
    m_LevelMeter.SetPeak(0);
    if (!m_Recorder.Input().Receiver) {
        m_strStatus = RecordingStatus();
        UpdateTexts();
    }
}

bool CSorvinDlg::OpenRecording() {
    // The recording owns its file by its full path, in the folder the list shows now: a Setup that
    // moves the recordings elsewhere meanwhile changes nothing for it.
    std::string folder;
    if (!platform::FileSystem().GetCurrentDirectory(folder))
        folder = ".";
    // Two recordings started within one second must not share a name: the second would wipe the first.
    const std::string path =
        folder + "/" +
        UniqueRecordingName(platform::Clock().GetLocalTime(),
                            [&folder](const std::string& name) { return FileExists(folder + "/" + name); });
    unsigned rate = 0;
    if (std::sscanf(g_Format.c_str(), "%u", &rate) != 1)
        rate = 44100; // a setting that names no rate records at the usual one
    std::unique_ptr<CWaveWriter> writer;
    try {
        writer = std::make_unique<CWaveWriter>(path.c_str(), rate, m_Channels);
    } catch (...) {
        // The name was free, so what a half-made file left there is ours: no empty recording
        // stays in the list. What the system said (no space, permission denied, a read-only
        // disk) is what the user can act on.
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        platform::MessageBoxes().Show("File Create Error: " + WaveErrors::CurrentReason(), "Tavlo",
                                      platform::MessageIcon::None);
        return false;
    }
    m_Recorder.Stop();
    if (m_pWriter)
        m_pWriter->Close();
    m_pWriter = std::move(writer);
    m_RecordPath = path;
    m_RecordFolder = folder;
    // The input is chosen afresh for every recording, so that it is the one the settings dialog
    // showed: the user's choice, a receiver plugged in since start-up, or the default input.
    m_Recorder.ChooseInput(g_RecordInput);
    m_pJournal = std::make_unique<CSectionJournal>(path);
    m_pRescue = std::make_unique<CRecordingRescue>(path);
    if (m_Recorder.SetDataStore(m_pWriter.get()))
        return true;
    // Without a capture device the recording would run into an empty file and the remote would
    // show it as recording: refuse, say why, and leave no empty file behind.
    m_Recorder.Stop();
    m_pWriter->Close();
    m_pWriter.reset();
    m_pJournal->Remove();
    m_pJournal.reset();
    m_pRescue.reset();
    std::remove(path.c_str());
    m_strStatus = kNoCaptureDevice;
    UpdateTexts();
    return false;
}

std::string CSorvinDlg::RecordingStatus() const {
    const std::string name = std::filesystem::path(m_RecordPath).filename().string();
    if (!m_Recorder.Input().Receiver && static_cast<std::uint64_t>(g_RecordSeconds) < kInputShownSeconds)
        return InputChoice::InUseText(m_Recorder.Input());
    return name;
}

// Record after a mark whose resume was refused, and the mark's own resume.
void CSorvinDlg::ResumeRecording() {
    SteadyTime();
    // A recording paused by its own section mark resumes whatever a probe found meanwhile: were
    // the receiver really gone, the device watch saves the recording within a second.
    if (!CheckDiskSpace() || m_State != TransportState::RecordPaused)
        return;
    Enter(TransportState::Recording);
    ReportState();
    if (m_CaptureHeld) {
        // What happened while capture was held is not in the file, so the section's clock skips it.
        g_RecordStartTime += platform::Clock().MonotonicMs() - m_CaptureHeldAt;
        m_CaptureHeld = false;
        m_Recorder.DeviceRestart();
    }
    m_Timers->SetTimer(TIMER_CLOCK, kClockMs);
}

void CSorvinDlg::MarkSection() {
    SteadyTime();
    m_Timers->KillTimer(TIMER_CLOCK);
    // Capture runs on through the mark: pausing it lost the sound from the pause to the restart
    // (the first word after a mark), and the remote's report, the journal's write to the disk and
    // the disk check all ran in that gap. The boundary is the moment of the mark; what is captured
    // while the mark is made belongs to the new section.
    // The section's length is measured on the monotonic clock: a step of the wall clock (the user
    // or time synchronisation setting it) must not make it negative or hours long. The fraction
    // of a second left over is carried into the next section, so that the lengths add up to where
    // each mark was made.
    const std::int64_t now = platform::Clock().MonotonicMs();
    const unsigned seconds = m_SectionLengths.Close(now - g_RecordStartTime);
    g_RecordStartTime = now;
    m_pWriter->AddSection(seconds);
    // On the disk before anything else happens: a power cut from here on keeps this mark.
    if (m_pJournal)
        m_pJournal->Append(seconds);
    Enter(TransportState::RecordPaused);
    ReportState();
    g_RecordSection += 1;
    // The new section goes on at once, as Record would resume it.
    ResumeRecording();
    // Resume refused (the disk full or unreadable): capture is held until Record resumes it.
    if (m_State == TransportState::RecordPaused) {
        m_Recorder.DevicePause();
        m_CaptureHeld = true;
        m_CaptureHeldAt = platform::Clock().MonotonicMs();
    }
}

void CSorvinDlg::SaveRecording() {
    EndRecording();
    m_pRescue.reset();
    ListSavedRecording();
}

void CSorvinDlg::EndRecording() {
    Enter(TransportState::Saving);
    CloseRecordingFile();
    m_Timers->KillTimer(TIMER_CLOCK);
    Enter(TransportState::Idle);
    ReportState();
}

void CSorvinDlg::CloseRecordingFile() {
    m_Recorder.Stop();
    // A file that was not completed keeps its journal: the next start finishes it from there.
    if (m_pWriter->Close() && m_pJournal)
        m_pJournal->Remove();
    m_pJournal.reset();
}

std::string CSorvinDlg::SpaceFolder() const {
    return IsRecording(m_State) ? m_RecordFolder : FolderPath(g_FolderName);
}

bool CSorvinDlg::CheckDiskSpace() {
    const std::uint64_t thresholdKiB = static_cast<std::uint64_t>(m_MinFreeSpaceMB) * 1024;
    platform::IFileSystem& files = platform::FileSystem();
    const std::string folder = SpaceFolder();
    platform::FindData found;
    const int search = files.FindFirst(folder + "/*", found);
    if (search >= 0)
        files.FindClose(search);
    else
        // The folder is gone: keep what was recorded and tell the remote unit.
        Apply(TransportEvent::FolderLost);
    if (Ended())
        return false;
    // An empty folder setting leaves the current directory as it was; that is where recordings go.
    const std::string full = files.GetFullPathName(folder.empty() ? "." : folder);
    std::uint64_t freeBytes = 0;
    if (search < 0 || !files.GetDiskFreeSpace(full, freeBytes)) {
        // A folder that cannot be found or asked is a wrong path, not a full disk.
        if (m_strStatus.rfind("Error Path", 0) != 0)
            m_strStatus = "Error Path";
        UpdateTexts();
        return false;
    }
    if (freeBytes / 1024 <= thresholdKiB) {
        Apply(TransportEvent::DiskLow);
        return false;
    }
    if (m_State == TransportState::Idle)
        SendState(remote::kIdle);
    g_DiskFull = false;
    return true;
}

void CSorvinDlg::WarnDiskFull() {
    QApplication::alert(this);
    SendState(remote::kAlert);
    ShowDiskFull();
}

void CSorvinDlg::SaveForDiskFull() {
    QApplication::alert(this);
    SendState(remote::kAlert);
    SaveRecording();
    SendState(remote::kAlert);
    platform::Clock().Sleep(kAlertWaitMs);
    ShowDiskFull();
}

void CSorvinDlg::ShowDiskFull() {
    platform::MessageBoxes().Show("Insufficient disk space!", "Tavlo", platform::MessageIcon::Exclamation);
    // The program may have been ended while the box was open.
    if (Ended())
        return;
    SendState(remote::kAlert);
    g_DiskFull = true;
}

void CSorvinDlg::SaveForInputLost() {
    const std::string input = m_Recorder.Input().Name;
    SaveRecording();
    SendState(remote::kAlert);
    m_strStatus = "Input lost: " + input;
    UpdateTexts();
}

void CSorvinDlg::SaveForWriteFailed() {
    const std::string why = m_pWriter ? m_pWriter->FailureReason() : std::string();
    QApplication::alert(this);
    SaveRecording();
    SendState(remote::kAlert);
    m_strStatus = "File Write Error!";
    SetStatusReason(why);
    platform::MessageBoxes().Show("File Write Error: " + why, "Tavlo", platform::MessageIcon::Exclamation);
}

void CSorvinDlg::CheckRecordingFile() {
    if (!m_pWriter)
        return;
    if (m_pWriter->Failed()) {
        // A disk that filled up (or a file at its size limit) ends the recording the way too
        // little free space does; any other failure says what it was. Both keep everything that
        // reached the file.
        const int error = m_pWriter->FailureErrno();
        const bool noSpace = error == 0 || error == ENOSPC || error == EDQUOT || error == EFBIG;
        Apply(noSpace ? TransportEvent::DiskLow : TransportEvent::WriteFailed);
    } else if (m_pWriter->IsFull()) {
        // The file holds all a WAV file can: save it rather than drop the rest silently.
        Apply(TransportEvent::FileFull);
    }
}
