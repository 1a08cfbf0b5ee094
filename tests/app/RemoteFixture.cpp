#include "RemoteFixture.h"

#include "StartFolder.h"
#include "platform/Clock.h"

namespace fs = std::filesystem;

EmulatedDevice ReceiverWithReports(int node, int length) {
    EmulatedDevice device = Receiver(node);
    // Report Count (0x95) of the 8-bit input and output items: the data bytes after the number.
    for (std::size_t i = 0; i + 1 < device.descriptor.size(); ++i)
        if (device.descriptor[i] == 0x95)
            device.descriptor[i + 1] = static_cast<std::uint8_t>(length - 1);
    return device;
}

void RemoteWindow::SetUp() {
    static int argc = 1;
    static char name[] = "app_remote_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    start = MakeStartFolder("tavlo-remote", "44100");
    platform::SetInstanceLock(&lock);
    platform::SetMessageBoxes(&boxes);
    platform::SetWaveService(&wave);
    platform::SetCaptureDevices(&captureDevices);
    platform::SetClock(&clock);
    node = kFirstNode;
    pending.clear();
    bus = std::make_unique<EmulatedHidBus>();
    bus->Add(Keyboard(0));
}

void RemoteWindow::TearDown() {
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
    fs::current_path(TAVLO_BIN_DIR);
    fs::remove_all(start);
}

void RemoteWindow::Start(int length) {
    reportLength = length;
    Plug();
    dlg = std::make_unique<CSorvinDlg>();
    dlg->UseTimers(&timers);
    dlg->SetExitProcess([](int) {});
    dlg->show();
}

void RemoteWindow::Plug() {
    bus->Add(ReceiverWithReports(node, reportLength));
}

void RemoteWindow::Unplug() {
    bus->Remove(node);
    // umockdev cannot make the same node again: the receiver comes back on the next one.
    ++node;
}

std::vector<std::uint8_t> RemoteWindow::Sent() {
    dlg->SendCommand(kMarker);
    std::vector<std::uint8_t> commands;
    const std::size_t size = static_cast<std::size_t>(reportLength);
    for (;;) {
        while (pending.size() < size) {
            bus->ReceivedOutput(node, 1);
            if (bus->LastRawOutput().empty()) {
                ADD_FAILURE() << "the marker report never arrived";
                return commands;
            }
            pending.insert(pending.end(), bus->LastRawOutput().begin(), bus->LastRawOutput().end());
        }
        const std::vector<std::uint8_t> report(pending.begin(), pending.begin() + size);
        pending.erase(pending.begin(), pending.begin() + size);
        for (std::size_t i = 0; i < size; ++i) {
            if (i != 3) {
                EXPECT_EQ(report[i], 0) << "byte " << i << " of the report with command " << int(report[3]);
            }
        }
        if (report[3] == kMarker)
            return commands;
        commands.push_back(report[3]);
    }
}

void RemoteWindow::Report(std::uint8_t event) {
    std::vector<std::uint8_t> report(static_cast<std::size_t>(reportLength), 0);
    report[2] = event;
    bus->SendInput(node, report);
    ASSERT_TRUE(timers.Tick(4)) << "the poll does not run";
}

std::string RemoteWindow::Picture(const QLabel& label, const char* kind, int count) {
    const QImage shown = label.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    for (int n = 0; n < count; ++n) {
        const std::string file = std::string(kind) + "-" + std::to_string(n);
        const QImage image(QString::fromStdString((start / "res" / (file + ".bmp")).string()));
        if (!shown.isNull() && shown == image.convertToFormat(QImage::Format_RGB32))
            return file;
    }
    return "";
}
