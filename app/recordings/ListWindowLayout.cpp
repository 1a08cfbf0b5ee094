#include "ListWindowLayout.h"

#include <QHeaderView>
#include <QToolBar>
#include <QVBoxLayout>

void LayOutListWindow(QWidget& window, const QString& toolsName, const QList<QAction*>& actions,
                      QTreeView& view, QLabel& status, std::initializer_list<int> widths) {
    // The main window's display colour, so that the windows read as one program.
    const QColor display(0x07, 0xD2, 0xD4);
    window.setStyleSheet(
        QString("QHeaderView::section { background: %1; color: black; border: none; padding: 3px; }"
                "QTreeView { selection-background-color: %1; selection-color: black; }")
            .arg(display.name()));
    auto* tools = new QToolBar(&window);
    tools->setAccessibleName(toolsName);
    tools->addActions(actions);
    auto* closing = new QAction(QWidget::tr("Close"), &window);
    closing->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence::Close});
    QObject::connect(closing, &QAction::triggered, &window, &QWidget::close);
    window.addAction(closing);
    int column = 0;
    for (int width : widths)
        view.header()->resizeSection(column++, width);
    status.setAccessibleName(QWidget::tr("Status"));
    status.setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(tools);
    layout->addWidget(&view, 1);
    layout->addWidget(&status);
    view.setFocus();
}
