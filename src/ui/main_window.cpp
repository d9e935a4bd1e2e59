#include "ui/main_window.h"

#include "app/main_commands.h"
#include "app/product_info.h"
#include "ui/icons.h"
#include "ui/set_tree_view.h"
#include "ui/ui_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace corvane::ui {

namespace {

// Keys for the everyday commands, beside the menus' access keys.
QKeySequence shortcutFor(CommandId id) {
    switch (id) {
        case CommandId::FileNew:
            return QKeySequence::New;
        case CommandId::FileOpen:
            return QKeySequence::Open;
        case CommandId::FileSave:
            return QKeySequence::Save;
        case CommandId::FileExit:
            return QKeySequence::Quit;
        case CommandId::HelpContents:
            return QKeySequence::HelpContents;
        default:
            return {};
    }
}

}  // namespace

MainWindow::MainWindow(Program& program, CommandDispatcher& dispatcher, QtHost& host,
                       SettingsStore& settings)
    : m_program(program), m_dispatcher(dispatcher), m_host(host), m_settings(settings) {
    setObjectName(QStringLiteral("frmBackMain"));
    setWindowTitle(qs(product::kTitle));
    setWindowIcon(programIcon());
    buildMenus();
    buildToolBar();

    m_tree = new SetTreeView(this);
    setCentralWidget(m_tree);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("sbrPanel1"));
    m_status->setTextFormat(Qt::PlainText);
    statusBar()->setObjectName(QStringLiteral("sbrStatus"));
    statusBar()->addWidget(m_status, 1);
    m_status->setText(host.statusText());

    for (std::size_t index = 0; index < kCommandCount; ++index) {
        if (m_actions[index] != nullptr) {
            m_actions[index]->setEnabled(host.commandEnabled(static_cast<CommandId>(index)));
        }
    }
    connect(&host, &QtHost::commandEnabledChanged, this, [this](int index, bool enabled) {
        if (QAction* found = action(static_cast<CommandId>(index))) found->setEnabled(enabled);
    });
    connect(&host, &QtHost::statusTextChanged, m_status, &QLabel::setText);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item == nullptr) {
            m_dispatcher.treeSelected(std::nullopt);
        } else {
            m_dispatcher.treeSelected(str(item->data(0, SetTreeView::kKeyRole).toString()));
        }
    });
    connect(m_tree, &SetTreeView::buttonPressed, this, [this](Qt::MouseButton button) {
        m_dispatcher.treePressed(button == Qt::RightButton ? MouseButton::Right
                                                           : MouseButton::Left);
    });
    connect(m_tree, &SetTreeView::clickedAt, this, [this](const QPoint& where) {
        if (m_dispatcher.treeClicked()) menu(CommandId::Actions)->popup(where);
    });
    host.setMainWindow(this);
    resize(kDesignedWidth, kDesignedHeight);
}

QMenu* MainWindow::menu(CommandId id) const {
    for (QMenu* found : m_menus) {
        if (found != nullptr && found->objectName() == qs(commandKey(id))) return found;
    }
    return nullptr;
}

QAction* MainWindow::makeAction(CommandId id, std::string_view caption) {
    auto* made = new QAction(commandIcon(id), qs(caption), this);
    made->setObjectName(qs(commandKey(id)));
    made->setShortcut(shortcutFor(id));
    connect(made, &QAction::triggered, this, [this, id] { trigger(id); });
    m_actions[static_cast<std::size_t>(id)] = made;
    return made;
}

void MainWindow::buildMenus() {
    auto* addPopup = new QMenu(this);
    addPopup->setObjectName(qs(commandKey(CommandId::AddMenu)));
    for (const MenuEntry& entry : addMenuEntries()) {
        addPopup->addAction(makeAction(*entry.id, entry.caption));
    }
    m_menus[0] = addPopup;

    std::size_t slot = 1;
    for (const MainMenu& definition : mainMenus()) {
        QMenu* made = menuBar()->addMenu(qs(definition.caption));
        made->setObjectName(qs(commandKey(definition.id)));
        made->menuAction()->setObjectName(qs(commandKey(definition.id)));
        m_actions[static_cast<std::size_t>(definition.id)] = made->menuAction();
        m_menus[slot++] = made;
        for (const MenuEntry& entry : definition.entries) {
            if (!entry.id) {
                made->addSeparator();
            } else if (*entry.id == CommandId::ActionsAdd) {
                // "ID_ActionsAdd" acts only through its popup.
                QAction* submenu = made->addMenu(addPopup);
                submenu->setText(qs(entry.caption));
                submenu->setIcon(commandIcon(CommandId::ActionsAdd));
                submenu->setObjectName(qs(commandKey(CommandId::ActionsAdd)));
                m_actions[static_cast<std::size_t>(CommandId::ActionsAdd)] = submenu;
            } else {
                made->addAction(makeAction(*entry.id, entry.caption));
            }
        }
    }
}

void MainWindow::buildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("tbrMain"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(24, 24));
    for (const MenuEntry& entry : toolbarEntries()) {
        if (!entry.id) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* tool = makeAction(*entry.id, entry.caption);
        tool->setToolTip(qs(toolDescription(*entry.id)));
        m_toolBar->addAction(tool);
        auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(tool));
        if (button == nullptr) continue;
        nameControl(button, ("tool" + std::string(commandKey(*entry.id))).c_str(), entry.caption);
        if (*entry.id == CommandId::Add) {
            // The drop-down part offers the Add popup; the button itself adds folders.
            button->setMenu(m_menus[0]);
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
}

void MainWindow::trigger(CommandId id) {
    m_dispatcher.dispatch(id);
    syncTree();
}

void MainWindow::syncTree() {
    m_tree->showTree(m_program.document().set().tree);
}

void MainWindow::restorePlacement() {
    const Placement placement =
        corvane::restorePlacement(m_settings, {0, 0, kDesignedWidth, kDesignedHeight});
    move(placement.left, placement.top);
    resize(placement.width, placement.height);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closed) return;
    if (!m_dispatcher.canClose()) {
        event->ignore();
        return;
    }
    m_dispatcher.closing(m_settings, {x(), y(), width(), height()}, isMinimized());
    m_closed = true;
    syncTree();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // After the activation itself, so a box about the restore program shows over the
        // window rather than inside its event.
        QTimer::singleShot(0, this, [this] { m_program.activate(); });
    }
}

}  // namespace corvane::ui
