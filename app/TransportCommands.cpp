// The transport commands and timer ticks 1 to 3. (Being built in; until then they do nothing.)
#include "SorvinDlg.h"

void CSorvinDlg::OnRecord() {}
void CSorvinDlg::OnFileEndSave() {}
bool CSorvinDlg::CheckDiskSpace() { return true; }
void CSorvinDlg::SendStateCode(int mode) { SendState(mode == 0 ? 0xC1 : 0xC2); }
void CSorvinDlg::SendState(std::uint8_t command) {
    ProbeDevice();
    SendCommand(command);
}
void CSorvinDlg::OnPlayPause() {}
void CSorvinDlg::OnSectionStop() {}
void CSorvinDlg::OnFastForward() {}
void CSorvinDlg::OnRewind() {}
void CSorvinDlg::OnSectionDown() {}
void CSorvinDlg::OnSectionUp() {}
void CSorvinDlg::ScanFolder() {}
void CSorvinDlg::OnFileUp() {}
void CSorvinDlg::OnFileDown() {}
void CSorvinDlg::OnForwardTick() {}
void CSorvinDlg::OnRewindTick() {}
void CSorvinDlg::OnClockTick() {}
