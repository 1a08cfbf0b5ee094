// The remote unit's side of the main window: the 100 ms poll, the keep-alive, the device watch
// and the volume commands. (Being built in; until then they do nothing.)
#include "SorvinDlg.h"

void CSorvinDlg::OnPollTick() {}
void CSorvinDlg::OnKeepAliveTick() {}
void CSorvinDlg::OnWatchTick() {}
void CSorvinDlg::OnVolumeUp() {}
void CSorvinDlg::OnVolumeDown() {}
void CSorvinDlg::OnMute() {}
