#include "WindowFixture.h"

#include "StartFolder.h"

#include "wavefile/WaveReader.h"
#include "wavefile/WaveWriter.h"

#include <QImage>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace apptest {

void TestClock::Sleep(unsigned milliseconds) {
    if (std::this_thread::get_id() != m_Window || milliseconds < 500) {
        std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * 20));
        return;
    }
    if (DuringSleep)
        DuringSleep(milliseconds);
    FakeClock::Sleep(milliseconds);
}

void MakeRecording(const fs::path& file, unsigned tenths, std::vector<unsigned> marks) {
    CWaveWriter writer(file.c_str(), 44100, 1);
    std::string tenth(kSecondBytes / 10, '\0');
    for (unsigned i = 0; i < tenths; ++i) {
        unsigned length = static_cast<unsigned>(tenth.size());
        writer.Write(tenth.data(), &length);
    }
    for (unsigned m : marks)
        writer.AddSection(m);
    writer.Close();
}

void MakeThreeRecordings(const fs::path& folder) {
    MakeRecording(folder / "a.wav", 100, {4});
    MakeRecording(folder / "b.wav", 30);
    MakeRecording(folder / "c.wav", 30);
}

bool WaitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 10000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}

EmulatedDevice ReceiverWithReports(int node, int length) {
    EmulatedDevice device = Receiver(node);
    // Report Count (0x95) of the 8-bit input and output items: the data bytes after the number.
    for (std::size_t i = 0; i + 1 < device.descriptor.size(); ++i)
        if (device.descriptor[i] == 0x95)
            device.descriptor[i + 1] = static_cast<std::uint8_t>(length - 1);
    return device;
}

void WindowTest::SetUp() {
    static int argc = 1;
    static char name[] = "app_window_fixture";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    start = MakeStartFolder("tavlo-window", "44100");
    rec = start / "rec";
    platform::SetInstanceLock(&lock);
    platform::SetMessageBoxes(&boxes);
    platform::SetWaveService(&wave);
    platform::SetCaptureDevices(&devices);
    platform::SetClock(&clock);
    platform::SetFileSystem(&files);
    node = kReceiverNode;
    pedalNode = kPedalNode;
    reportLength = 8;
    plugged = false;
    bus = std::make_unique<EmulatedHidBus>();
    bus->Add(Keyboard(0)); // another HID device, which the window must pass over
    g_Format = "44100";
    g_FolderName = ".\\";
    g_Speed = 0;
    g_FileList.clear();
    g_CurFile = g_FileList.end();
}

void WindowTest::TearDown() {
    if (dlg && dlg->isVisible()) {
        dlg->OnFileEndSave(); // Close refuses while a recording is open
        dlg->OnCancel();
    }
    dlg.reset();
    bus.reset();
    platform::SetInstanceLock(nullptr);
    platform::SetMessageBoxes(nullptr);
    platform::SetWaveService(nullptr);
    platform::SetCaptureDevices(nullptr);
    platform::SetClock(nullptr);
    platform::SetFileSystem(nullptr);
    fs::current_path(TAVLO_BIN_DIR);
    fs::remove_all(start);
}

void WindowTest::WriteSettings(const std::string& folder) {
    std::ofstream(start / "Recorder.ini")
        << "[Recorder]\nFormat=44100\nFF/RewindSpeed=8\nFloaderName=" << folder << "\n";
}

void WindowTest::Start(int length) {
    reportLength = length;
    Plug();
    dlg = std::make_unique<CSorvinDlg>();
    dlg->UseTimers(&timers);
    dlg->SetExitProcess([](int) {});
    dlg->show();
}

void WindowTest::Open() {
    Start();
    g_LinkUp = true;
    Commands();
}

void WindowTest::Plug() {
    bus->Add(ReceiverWithReports(node, reportLength));
    plugged = true;
}

void WindowTest::Unplug() {
    bus->Remove(node);
    plugged = false;
    // umockdev cannot make the same node again: the receiver comes back on the next one.
    ++node;
}

std::vector<int> WindowTest::Commands() {
    std::vector<int> commands;
    if (!plugged)
        return commands;
    const std::vector<std::uint8_t> raw = bus->PendingRawOutput(node);
    const std::size_t size = static_cast<std::size_t>(reportLength);
    EXPECT_EQ(raw.size() % size, 0u) << "a report shorter than the device's";
    for (std::size_t at = 0; at + size <= raw.size(); at += size) {
        for (std::size_t i = 0; i < size; ++i) {
            if (i != 3) {
                EXPECT_EQ(raw[at + i], 0)
                    << "byte " << i << " of the report with command " << int(raw[at + 3]);
            }
        }
        commands.push_back(raw[at + 3]);
    }
    return commands;
}

void WindowTest::Report(std::uint8_t event) {
    std::vector<std::uint8_t> report(static_cast<std::size_t>(reportLength), 0);
    report[2] = event;
    bus->SendInput(node, report);
    Tick(4);
}

void WindowTest::Speak(int tenths) {
    platform::FakeWaveDevice* mic = wave.Last();
    for (int i = 0; i < tenths; ++i) {
        ASSERT_TRUE(WaitUntil([&] { return !mic->Held().empty(); }));
        mic->Capture(kSecondBytes / 10);
    }
}

void WindowTest::PlayOut() {
    wave.Last()->SetAutoComplete(true);
    wave.Last()->Complete(8);
    ASSERT_TRUE(WaitUntil([&] { return Second() >= static_cast<std::uint64_t>(g_PlayLength); }));
}

void WindowTest::RunSetup() {
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    Press(1018);
}

std::vector<std::string> WindowTest::Folder() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(rec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string WindowTest::Picture(const QLabel& label, const char* kind, int count) {
    const QImage shown = label.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    for (int n = 0; n < count; ++n) {
        const std::string file = std::string(kind) + "-" + std::to_string(n);
        const QImage image(QString::fromStdString((start / "res" / (file + ".bmp")).string()));
        if (!shown.isNull() && shown == image.convertToFormat(QImage::Format_RGB32))
            return file;
    }
    return "";
}

std::vector<std::uint32_t> WindowTest::SectionStarts(const fs::path& file) {
    CWaveReader reader(file.string());
    std::vector<std::uint32_t> starts;
    for (SectionNode* n = reader.m_pFirstSection; n; n = n->pNext)
        starts.push_back(n->Seconds);
    return starts;
}

} // namespace apptest
