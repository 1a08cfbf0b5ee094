#pragma once
#include "IInboxHost.h"
#include "InboxModel.h"
#include "StateFile.h"

#include <QAction>
#include <QLabel>
#include <QTreeView>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace platform {
class IWindowTimers;
}

// The typist's inbox: the jobs that arrived in the Inbox folder with their author, work type,
// priority, length, arrival and state. Opening a job (Enter, double-click) decodes its audio on a
// worker and plays it through the main window's player, and marks it "typing"; Done marks it
// "done". Both write only the typist's own `ID.state` in the Done folder; nothing is deleted.
class InboxWindow : public QWidget {
    Q_OBJECT
public:
    // `timers` tick the rescan; null for the window's own Qt timers.
    InboxWindow(IInboxHost& host, QWidget* mainWindow, platform::IWindowTimers* timers = nullptr);
    ~InboxWindow() override;

    InboxModel& Model() { return m_Model; }
    QTreeView& View() { return m_View; }
    QString Status() const { return m_Status.text(); }
    // Asks for a folder (the inbox, the Done folder); the test replaces the dialog.
    std::function<std::optional<std::string>(const QString& title, const std::string& current)> AskFolder;

    // Reads the folders and the user's name from the settings file again.
    void LoadSettings();
    // The actions, on the job that has the view's focus.
    void OpenSelected();
    void MarkSelectedDone();
    void ChooseInbox();
    void ChooseDone();

signals:
    // A job's audio was decoded and played (or refused): its state is written by then.
    void Opened(bool played);

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QAction* AddAction(const QString& text, const QKeySequence& keys, void (InboxWindow::*slot)());
    void Open(const QModelIndex& index);
    void OnDecoded(const std::string& fileName, const dictation::Job& job, const std::string& wav,
                   const std::string& problem);
    bool WriteState(const dictation::Job& job, dictation::TypistState::Stage stage);
    // Keeps `folder` as the Inbox (inbox) or the Done folder in the settings file.
    void KeepFolder(bool inbox, const std::string& folder);
    void Say(const QString& message);
    void ShowCount();

    IInboxHost& m_Host;
    std::unique_ptr<platform::IWindowTimers> m_OwnTimers;
    InboxModel m_Model;
    QTreeView m_View;
    QLabel m_Status;
    QList<QAction*> m_Actions;
    QString m_Message;
    std::string m_Typist;
    // One job is decoded at a time: the worker, and whether its result is still to come (both on
    // the window's thread; the worker has posted its result when m_Decoding turns false).
    std::thread m_Decoder;
    bool m_Decoding = false;
};
