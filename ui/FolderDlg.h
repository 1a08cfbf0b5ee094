#pragma once
#include "ui/CColorStatic.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"
#include "ui/InputChoice.h"

#include <QComboBox>
#include <QLabel>
#include <string>

class CKelvane;

// The settings dialog: recording format, wind speed and recordings folder, and the Link button
// that asks the remote unit to pair. Every change is written to Recorder.ini in `m_WorkDir` at
// once, and only when the file already has a "Recorder" section with a key; nothing is written on
// closing. The opener sets `m_WorkDir` and `m_pHid` and runs it with exec().
class FolderDlg : public CSkinDialog {
    Q_OBJECT
public:
    explicit FolderDlg(QWidget* parent = nullptr);

    std::string m_WorkDir;      // folder of Recorder.ini and of res/
    CKelvane* m_pHid = nullptr; // the main window's device object; not owned

    void LoadDialogSettings();
    void SaveDialogSettings();
    // Lists the capture devices, selects the saved one (or the first) and applies it; returns the
    // number of devices the system reports.
    int FillInputDevices();
    void ApplyInputDevice();
    void OnFormatChange();
    void OnSpeedChange();
    void OnBrowse();
    void OnLink();

    CSkinButton m_BtnLink, m_BtnClose, m_BtnBrowse;
    CColorStatic m_BlankText, m_FormatLabel, m_SpeedLabel, m_PathLabel, m_PathText, m_NoticeText;
    // The dialog's title in its header, and what Link does, beside the button's picture.
    QLabel m_Title, m_LinkCaption;
    QComboBox m_FormatList, m_DeviceList, m_SpeedList;
    std::string m_strBlank, m_strFormatLabel, m_strSpeedLabel, m_strPathLabel, m_strPath, m_strNotice;
    // Which input records, and the user's choice of it.
    InputChoice m_Input;

protected:
    void OnInitDialog() override;

private:
    void PushToControls();
    void PlaceControls();
    void PlaceTitleAndCaptions();
    std::string IniPath() const;
};
