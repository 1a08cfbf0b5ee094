#include "ui/FolderDlg.h"
#include "IniFile.h"
#include "RemoteReport.h"
#include "kelvane.h"
#include "platform/CaptureDevices.h"
#include "platform/FolderChooser.h"
#include "platform/MessageBoxes.h"
#include "ui/ButtonLooks.h"
#include "ui/FolderLayout.h"
#include "ui/FolderSettings.h"

#include <QDir>

namespace {

const char* const kSection = "Recorder";
const char* const kFormats[] = {"44.1 kHz, mono, 16-bit", "48 kHz, mono, 16-bit"};
const char* const kSpeeds[] = {"OFF", "2X", "4X", "8X", "16X", "32X"};
const long kSpeedValues[] = {0, 2, 4, 8, 16, 32};
const QColor kLabelBk(219, 218, 215);
const QColor kTitleColour(0x07, 0xD2, 0xD4); // the display's cyan, as the gear beside it

QRect PixelRect(int id) {
    const ui::LayoutRect r = ui::DluToPixels(ui::FindFolderControl(id)->Dlu);
    return QRect(r.X, r.Y, r.Width, r.Height);
}

// The folder as an absolute path, resolved against the current folder without touching the disk;
// a trailing separator is kept. Nothing for an empty value.
std::optional<std::string> ResolveFolder(const std::string& folder) {
    if (folder.empty()) {
        return std::nullopt;
    }
    const QString value = QString::fromStdString(folder);
    QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(value));
    if ((value.endsWith('/') || value.endsWith('\\')) && !absolute.endsWith('/')) {
        absolute += '/';
    }
    return absolute.toStdString();
}

void MakeSteady(CColorStatic& label, const QColor& text) {
    label.ChooseBlinkBkColors(kLabelBk, kLabelBk);
    label.BeginBkBlink();
    label.ChooseBlinkTextColors(text, text);
    label.BeginTextBlink();
}

} // namespace

FolderDlg::FolderDlg(QWidget* parent)
    : CSkinDialog(parent), m_BtnLink(1039, this), m_BtnClose(1028, this), m_BtnBrowse(1019, this),
      m_BlankText(this), m_FormatLabel(this), m_SpeedLabel(this), m_PathLabel(this), m_PathText(this),
      m_NoticeText(this), m_Title(this), m_LinkCaption(this), m_FormatList(this), m_DeviceList(this),
      m_SpeedList(this), m_Input(this) {
    // The template's font, "MS Shell Dlg" 8 pt: the system's dialog font at 8 points here.
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    PlaceControls();
    connect(&m_BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_BtnBrowse, &QPushButton::clicked, this, &FolderDlg::OnBrowse);
    connect(&m_BtnLink, &QPushButton::clicked, this, &FolderDlg::OnLink);
    // Only the user's choices count as changes: selections made by the dialog itself do not save.
    connect(&m_FormatList, &QComboBox::activated, this, &FolderDlg::OnFormatChange);
    connect(&m_SpeedList, &QComboBox::activated, this, &FolderDlg::OnSpeedChange);
    connect(&m_DeviceList, &QComboBox::activated, this, &FolderDlg::ApplyInputDevice);
}

void FolderDlg::PlaceControls() {
    const ui::LayoutRect frame = ui::DluToPixels(ui::kFolderTemplateDlu);
    resize(frame.Width, frame.Height);
    m_BtnClose.setGeometry(PixelRect(1028));
    m_BtnClose.setDefault(true);
    m_BtnBrowse.setGeometry(PixelRect(1019));
    m_BtnBrowse.setText("...");
    m_BtnLink.setGeometry(PixelRect(1039));
    m_PathLabel.setGeometry(PixelRect(1020));
    m_PathText.setGeometry(PixelRect(1015));
    m_BlankText.setGeometry(PixelRect(1034));
    m_FormatLabel.setGeometry(PixelRect(1035));
    m_SpeedLabel.setGeometry(PixelRect(1036));
    m_NoticeText.setGeometry(PixelRect(1037));
    for (CColorStatic* label :
         {&m_BlankText, &m_FormatLabel, &m_SpeedLabel, &m_PathLabel, &m_PathText, &m_NoticeText}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
    }
    // A drop-down list's template height includes its open list; closed it is one line high.
    for (auto [list, id] : {std::pair{&m_FormatList, 1023}, {&m_DeviceList, 1022}, {&m_SpeedList, 1030}}) {
        const QRect r = PixelRect(id);
        list->setGeometry(
            r.x(), r.y(), r.width(),
            std::max(ui::DluToPixelsY(ui::kDropDownClosedHeightDlu), list->sizeHint().height()));
    }
    // Text kept off the panel's edge and the folder field's frame.
    for (CColorStatic* label : {&m_FormatLabel, &m_SpeedLabel, &m_PathLabel, &m_NoticeText}) {
        label->setContentsMargins(ui::kTextIndentPx, 0, 0, 0);
    }
    m_PathText.setContentsMargins(3, 1, 3, 1);
    PlaceTitleAndCaptions();
    m_DeviceList.setEditable(true);
    m_BlankText.hide();
    m_DeviceList.hide();
    m_NoticeText.hide();
}

void FolderDlg::PlaceTitleAndCaptions() {
    setWindowTitle("Tavlo settings");
    // The header strip beside the skin's gear: the title on the dark frame.
    m_Title.setText("Tavlo settings");
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSize(9);
    m_Title.setFont(titleFont);
    QPalette titlePalette = m_Title.palette();
    titlePalette.setColor(QPalette::WindowText, kTitleColour);
    m_Title.setPalette(titlePalette);
    m_Title.setGeometry(34, 2, PixelRect(1028).x() - 40, 18);
    m_Title.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Link's picture shows two links and a wave; the caption beside it says what it does.
    const QRect link = PixelRect(1039);
    m_LinkCaption.setText("Pair the remote unit");
    m_LinkCaption.setGeometry(link.right() + ui::kTextIndentPx, link.y(),
                              width() - link.right() - 3 * ui::kTextIndentPx, link.height());
    m_LinkCaption.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_LinkCaption.setBuddy(&m_BtnLink);
    m_BtnLink.setAccessibleDescription("Asks the remote unit to pair with the receiver");
}

std::string FolderDlg::IniPath() const {
    return m_WorkDir + "/Recorder.ini";
}

void FolderDlg::PushToControls() {
    m_BlankText.setText(QString::fromStdString(m_strBlank));
    m_FormatLabel.setText(QString::fromStdString(m_strFormatLabel));
    m_SpeedLabel.setText(QString::fromStdString(m_strSpeedLabel));
    m_PathLabel.setText(QString::fromStdString(m_strPathLabel));
    m_PathText.setText(QString::fromStdString(m_strPath));
    m_NoticeText.setText(QString::fromStdString(m_strNotice));
}

void FolderDlg::OnInitDialog() {
    // Template position (100, 130) dialog units, from the owner's corner.
    const QPoint at(ui::DluToPixelsX(ui::kFolderTemplateDlu.X), ui::DluToPixelsY(ui::kFolderTemplateDlu.Y));
    move(parentWidget() ? parentWidget()->mapToGlobal(at) : at);

    // 1. The statics are blank until their texts are pushed again.
    PushToControls();
    // 2. Buttons.
    m_BtnBrowse.AssignTipFromString(118);
    m_BtnLink.AssignImagesFromResources(185, ui::kDialogKeyColour, 184, ui::kDialogKeyColour);
    m_BtnLink.m_DrawBorder = false;
    m_BtnLink.UseParentBackground();
    m_BtnLink.AssignTipFromString(119);
    m_BtnClose.AssignImagesFromResources(176, ui::kDialogKeyColour, 175, ui::kDialogKeyColour);
    m_BtnClose.m_DrawBorder = false;
    m_BtnClose.UseParentBackground();
    m_BtnClose.AssignTipFromString(115);
    // 3, 4. The skin; without it the dialog stays plain and nothing else is set up.
    if (!ApplySkin(QString::fromStdString(m_WorkDir + "/res/FoladerBASE.bmp"))) {
        return;
    }
    // 5. Settings.
    LoadDialogSettings();
    // 6. Capture devices.
    if (FillInputDevices() == 0) {
        platform::MessageBoxes().Show("NO Input Devices Found..", "Tavlo", platform::MessageIcon::Error);
        EndDialog(QDialog::Accepted);
    }
    // 7. Texts.
    m_strBlank = " ";
    m_strFormatLabel = "Format";
    m_strSpeedLabel = "FF/Rewind speed";
    m_strPathLabel = "File Path";
    m_strNotice = "";
    PushToControls();
    // 8. Label colours: steady, repainted every second.
    for (CColorStatic* label : {&m_BlankText, &m_FormatLabel, &m_SpeedLabel, &m_PathLabel, &m_PathText,
                                &m_Input.m_Label, &m_Input.m_InUse}) {
        MakeSteady(*label, Qt::black);
    }
    MakeSteady(m_NoticeText, QColor(255, 0, 0));
    MakeSteady(m_Input.m_Notice, QColor(255, 0, 0));
    // 9. The recordings folder.
    m_PathText.setText(QString::fromStdString(g_IniFolder));
    // The recording input: the one in use, and the choice.
    m_Input.Load(IniPath());
}

void FolderDlg::LoadDialogSettings() {
    // The start-up folder marker is replaced by the absolute folder, saved and read back. If the
    // file keeps the marker (a write that failed), the absolute folder is kept in the mirror
    // instead of reading again, which would never end.
    for (int pass = 0; pass < 2; ++pass) {
        CIniFile ini(IniPath());
        if (ini.HasSection(kSection)) {
            g_IniSpeed = ini.GetString(kSection, "FF/RewindSpeed");
            g_IniFormat = ini.GetString(kSection, "Format");
            g_IniFolder = ini.GetString(kSection, "FloaderName");
            g_IniPlayerDevice = ini.GetString(kSection, "PlayerDevice");
            g_IniDefaultFolder = ini.GetString(kSection, "DefaultFloader");
        }
        if (ui::IsStartFolderMarker(g_IniFolder)) {
            const std::string current = QDir::currentPath().toStdString();
            const std::string absolute = current.ends_with('/') ? current : current + "/";
            g_IniDefaultFolder = absolute;
            g_IniFolder = absolute;
            SaveDialogSettings();
            continue;
        }
        if (const auto absolute = ResolveFolder(g_IniFolder)) {
            g_IniFolder = *absolute;
            PushToControls();
        }
        return;
    }
}

void FolderDlg::SaveDialogSettings() {
    CIniFile ini(IniPath());
    if (!ini.HasSection(kSection)) {
        return;
    }
    ini.WriteString(kSection, "FF/RewindSpeed", g_IniSpeed.c_str());
    ini.WriteString(kSection, "Format", g_IniFormat.c_str());
    ini.WriteString(kSection, "FloaderName", g_IniFolder.c_str());
    ini.WriteString(kSection, "PlayerDevice", g_IniPlayerDevice.c_str());
    ini.WriteString(kSection, "DefaultFloader", g_IniDefaultFolder.c_str());
}

int FolderDlg::FillInputDevices() {
    m_DeviceList.clear();
    platform::ICaptureDevices& devices = platform::CaptureDevices();
    const int n = static_cast<int>(devices.Count());
    // List entry of each device; a device whose name cannot be read has none.
    std::vector<int> entryOfDevice(n, -1);
    for (int i = 0; i < n; ++i) {
        const std::string name = devices.ProductName(static_cast<unsigned>(i));
        if (name.empty()) {
            continue;
        }
        entryOfDevice[i] = m_DeviceList.count();
        m_DeviceList.addItem(QString::fromStdString(name));
        // Only ten names are remembered; later devices are listed but kept out of the table.
        if (i < kInputDeviceNameCount) {
            g_InputDeviceNames[i] = name;
        }
    }
    if (m_DeviceList.count() == 0) {
        return n;
    }
    int selected = 0;
    for (int i = 0; i < std::min(n, kInputDeviceNameCount); ++i) {
        if (entryOfDevice[i] >= 0 && g_InputDeviceNames[i] == g_IniPlayerDevice) {
            selected = entryOfDevice[i];
            break;
        }
    }
    m_DeviceList.setCurrentIndex(selected);
    ApplyInputDevice();
    return n;
}

void FolderDlg::ApplyInputDevice() {
    // 1. The saved device is the selected one, if its name is known.
    const std::string selected =
        m_DeviceList.currentIndex() >= 0 ? m_DeviceList.currentText().toStdString() : "";
    g_IniPlayerDevice = "No Device";
    for (const std::string& name : g_InputDeviceNames) {
        if (m_DeviceList.currentIndex() >= 0 && name == selected) {
            g_IniPlayerDevice = name;
            break;
        }
    }
    // 2. Format and speed lists, selected from the mirror.
    m_FormatList.clear();
    m_SpeedList.clear();
    if (m_DeviceList.currentIndex() >= 0) {
        for (const char* format : kFormats) {
            m_FormatList.addItem(format);
        }
        m_FormatList.setCurrentIndex(ui::LeadingNumber(g_IniFormat) == 48000 ? 1 : 0);
        for (const char* speed : kSpeeds) {
            m_SpeedList.addItem(speed);
        }
        int speedIndex = 1; // "2X" for any other value
        const auto speed = ui::LeadingNumber(g_IniSpeed);
        for (int i = 0; speed && i < 6; ++i) {
            if (kSpeedValues[i] == *speed) {
                speedIndex = i;
            }
        }
        m_SpeedList.setCurrentIndex(speedIndex);
    }
    // 3. Texts.
    m_strNotice = "(Be restart to make this change take effect)";
    m_strPath = g_IniFolder;
    PushToControls();
    // 4.
    SaveDialogSettings();
}

void FolderDlg::OnFormatChange() {
    g_IniFormat = ui::LeadingNumber(m_FormatList.currentText().toStdString()) == 48 ? "48000" : "44100";
    SaveDialogSettings();
}

void FolderDlg::OnSpeedChange() {
    g_IniSpeed = std::to_string(ui::LeadingNumber(m_SpeedList.currentText().toStdString()).value_or(0));
    SaveDialogSettings();
}

void FolderDlg::OnBrowse() {
    const platform::FolderChoice choice =
        platform::FolderChooser().ChooseFolder("Please Select a Folder to Save/Load *.wav Files");
    if (choice.Chosen) {
        if (!choice.Path.empty()) {
            m_strPath = choice.Path;
            g_IniFolder = choice.Path;
        } else {
            m_strPath = g_IniDefaultFolder;
            g_IniFolder = g_IniDefaultFolder;
        }
        PushToControls();
    }
    SaveDialogSettings();
}

void FolderDlg::OnLink() {
    if (m_pHid == nullptr) {
        return;
    }
    // Probe first; the pair request goes out only to a receiver that is there.
    if (m_pHid->Open(remote::kVendorId, remote::kProductId, nullptr, nullptr, nullptr, 1) != 1) {
        return;
    }
    // As long as the device's output reports: Kelvane writes that many bytes.
    int outputLength = 0;
    m_pHid->GetReportLengths(nullptr, &outputLength);
    remote::Report report = remote::Report::Command(remote::kPair, outputLength);
    m_pHid->Write(report.Data());
}
