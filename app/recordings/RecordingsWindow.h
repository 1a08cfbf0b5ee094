#pragma once
#include "IRecordingsHost.h"
#include "RecordingFiles.h"
#include "RecordingsModel.h"
#include "SendDialog.h"

#include <QAction>
#include <QLabel>
#include <QTreeView>
#include <QWidget>

#include <functional>

// The recordings window: every recording of the folder with its start, length, sections, size
// and rate, each opening to its sections. Activating a recording plays it, activating a section
// plays from its start; rename, move to the trash, open the folder and copy the sections as a
// label track act on the selected recording; the typist's playback keys (speed, jumps, the time
// copied) act on what plays, as in the main window, and the speed shows on the toolbar. A normal,
// resizable desktop window beside the skinned main window, which it never blocks.
class RecordingsWindow : public QWidget {
    Q_OBJECT
public:
    RecordingsWindow(IRecordingsHost& host, QWidget* mainWindow);

    // Takes the main window's folder and marks again, while shown; the main window calls it on
    // every change of its state.
    void FollowHost();

    RecordingsModel& Model() { return m_Model; }
    QTreeView& View() { return m_View; }
    QString Status() const { return m_Status.text(); }
    // Asks the user for a recording's new title; the test replaces the dialog.
    std::function<std::optional<QString>(const QString& name, const QString& title)> AskTitle;
    // Asks for the note, work type and priority of a recording sent to the typist; the test
    // replaces the dialog.
    std::function<std::optional<SendChoice>(const QString& name,
                                            const dictation::DictationSettings& settings)>
        AskSend;

    // The actions, on the recording (or section) that has the view's focus.
    void PlaySelected();
    void RenameSelected();
    void TrashSelected();
    void OpenFolder();
    void CopyLabels();
    void SendSelected();
    void EditDictation();
    // The playing file's speed, as the main window has it ("Speed 1.0x").
    QString SpeedShown() const { return m_Speed.text(); }

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // An action of this window with its shortcut, named with it in its tooltip.
    QAction* AddAction(const QString& text, const QKeySequence& keys, void (RecordingsWindow::*slot)());
    // An action that hands `event` to the main window: the typist's keys, the same in both windows.
    void AddPlaybackAction(const QString& text, const QKeySequence& keys, TransportEvent event);
    void ShowSpeed();
    void Play(const QModelIndex& index);
    void Report(const RecordingFiles::Outcome& outcome);
    void ShowProgress();
    void PlaceBesideMainWindow();
    // Reads the dictation settings again: the rows' marks follow the outbox and the author.
    void FollowDictation();
    void OnSendProgress(const QString& name, int percent);
    void OnSendFinished(const QString& name, bool sent, const QString& message);
    const RecordingInfo* Selected() const;

    IRecordingsHost& m_Host;
    RecordingFiles m_Files;
    RecordingsModel m_Model;
    QTreeView m_View;
    QLabel m_Status;
    QLabel m_Speed;
    QList<QAction*> m_Actions;
    QList<QAction*> m_PlaybackActions;
    QString m_LastMessage;
    std::string m_Follows; // a recording the keyboard goes to as soon as it is listed
    bool m_Placed = false;
};
