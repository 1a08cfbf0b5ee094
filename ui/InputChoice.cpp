#include "ui/InputChoice.h"
#include "IniFile.h"
#include "Settings.h"
#include "ui/FolderLayout.h"

namespace {

const char* const kAutomatic = "Automatic";

QRect Pixels(const ui::LayoutRect& dlu) {
    const ui::LayoutRect r = ui::DluToPixels(dlu);
    return QRect(r.X, r.Y, r.Width, r.Height);
}

} // namespace

InputChoice::InputChoice(QWidget* dialog)
    : m_Label(dialog), m_InUse(dialog), m_Notice(dialog), m_List(dialog) {
    m_Label.setGeometry(Pixels(ui::kInputLabelDlu));
    m_InUse.setGeometry(Pixels(ui::kInputInUseDlu));
    m_Notice.setGeometry(Pixels(ui::kInputNoticeDlu));
    const QRect list = Pixels(ui::kInputListDlu);
    m_List.setGeometry(list.x(), list.y(), list.width(),
                       std::max(ui::DluToPixelsY(ui::kDropDownClosedHeightDlu), m_List.sizeHint().height()));
    for (CColorStatic* label : {&m_Label, &m_InUse, &m_Notice})
        label->setContentsMargins(ui::kTextIndentPx, 0, 0, 0);
    m_Notice.hide();
    // Only the user's choices are saved: selections the dialog makes itself are not.
    QObject::connect(&m_List, &QComboBox::activated, dialog, [this](int index) { Choose(index); });
}

void InputChoice::Load(const std::string& iniPath) {
    m_IniPath = iniPath;
    m_Label.setText("Input");
    CIniFile ini(m_IniPath);
    const std::string saved = ini.HasSection("Recorder") ? ini.GetString("Recorder", kRecordInputKey) : "";
    m_List.clear();
    m_List.addItem(kAutomatic);
    platform::ICaptureDevices& devices = platform::CaptureDevices();
    const unsigned count = devices.Count();
    for (unsigned id = 0; id < count; ++id) {
        const QString name = QString::fromStdString(devices.ProductName(id));
        // A device named twice is one choice: the choice is kept by name.
        if (!name.isEmpty() && m_List.findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
            m_List.addItem(name);
    }
    int selected = 0;
    if (!saved.empty()) {
        const QString name = QString::fromStdString(saved);
        selected = m_List.findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (selected < 0) {
            m_List.addItem(name);
            selected = m_List.count() - 1;
        }
    }
    m_List.setCurrentIndex(selected);
    ShowInUse();
}

std::string InputChoice::ValueOf(int index) const {
    return index <= 0 ? "" : m_List.itemText(index).toStdString();
}

void InputChoice::Choose(int index) {
    CIniFile ini(m_IniPath);
    if (ini.HasSection("Recorder"))
        ini.WriteString("Recorder", kRecordInputKey, ValueOf(index).c_str());
    ShowInUse();
}

std::string InputChoice::InUseText(const platform::CaptureInput& input) {
    return "Recording from: " + (input.Name.empty() ? std::string("the default input") : input.Name);
}

void InputChoice::ShowInUse() {
    platform::ICaptureDevices& devices = platform::CaptureDevices();
    const platform::CaptureInput input =
        platform::ChooseCaptureInput(devices, ValueOf(m_List.currentIndex()));
    m_InUse.setText(QString::fromStdString(InUseText(input)));
    const bool receiverThere = platform::ChooseCaptureInput(devices, "").Receiver;
    m_Notice.setText(receiverThere ? "" : "The receiver's microphone (USB Headset) was not found.");
    m_Notice.setVisible(!receiverThere);
}
