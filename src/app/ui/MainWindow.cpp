// The main window.
#include "app/ui/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>
#include <algorithm>
#include <optional>

#include "app/DataAcqApp.h"
#include "app/DemoDocument.h"
#include "app/HelpTopics.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/SessionDialogs.h"
#include "app/ui/Theme.h"
#include "graph/ui/ChartWidget.h"
#include "host/HostServices.h"
#include "host/ProfileFile.h"
#include "logger/link/SerialLine.h"
#include "logger/ui/ComPortDialog.h"
#include "model/Document.h"
#include "processing/ui/ProcessingForms.h"
#include "views/ui/GenericFrame.h"

namespace orvex {
namespace {

constexpr const char* kReady = "Ready";

// Where the n-th new document window goes: nine tenths of the workspace, stepped down and to
// the right like a cascade, and always wholly inside the visible workspace.
QRect NewWindowPlace(QSize workspace, int n) {
    const QSize size(std::max(200, workspace.width() * 9 / 10),
                     std::max(150, workspace.height() * 9 / 10));
    const int roomX = std::max(0, workspace.width() - size.width());
    const int roomY = std::max(0, workspace.height() - size.height());
    const int step = 24;
    const int steps = std::max(1, std::min(roomX, roomY) / step + 1);
    const int k = std::max(0, n) % steps;
    return QRect(QPoint(std::min(k * step, roomX), std::min(k * step, roomY)),
                 QSize(std::min(size.width(), workspace.width()),
                       std::min(size.height(), workspace.height())));
}

// The state of a lock key from the keyboard's LED, when the system shows it; empty otherwise.
std::optional<bool> LockLed(const char* name) {
    QDir leds(QStringLiteral("/sys/class/leds"));
    const QStringList entries =
        leds.entryList({QStringLiteral("*::%1").arg(QLatin1String(name))}, QDir::AllEntries);
    if (entries.isEmpty()) return std::nullopt;
    bool on = false;
    for (const QString& e : entries) {
        QFile f(leds.filePath(e + QStringLiteral("/brightness")));
        if (f.open(QIODevice::ReadOnly)) on = on || f.readAll().trimmed().toInt() > 0;
    }
    return on;
}

QColor ToQColor(ColorRef c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QIcon SwatchIcon(ColorRef c) {
    QPixmap pm(16, 16);
    pm.fill(ToQColor(c));
    return QIcon(pm);
}

}  // namespace

CMainWindow::CMainWindow(CDataAcqApp& app, IHostServices& host, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_host(host) {
    setWindowTitle(QStringLiteral("ORVEX"));
    setAcceptDrops(true);
    m_mdi = new QMdiArea(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    m_help = new CHelpController(this);
    BuildMenus();
    BuildGraphMenus();
    BuildDataMenus();
    BuildViewMenus();
    BuildToolBar();
    BuildStatusBar();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] {
        RebuildPickers();
        UpdateViewMenus();
        UpdateCommandStates();
    });
    RebuildRecentMenu();
    ApplyMenuTips();
    UpdateCommandStates();
}

CMainWindow::~CMainWindow() {
    // The base class destructor tears the windows down: no more picker or menu updates then.
    m_bDestroying = true;
    qApp->removeEventFilter(this);
    // The windows inside go only after this object's own part is gone: none of their signals
    // may reach it then.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

QMenu* CMainWindow::MenuFor(const QString& path) {
    auto it = m_menus.find(path);
    if (it != m_menus.end()) return it->second;
    const int slash = path.lastIndexOf('/');
    QMenu* menu = nullptr;
    if (slash < 0) {
        menu = menuBar()->addMenu(path);
    } else {
        menu = MenuFor(path.left(slash))->addMenu(path.mid(slash + 1));
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainWindow::UpdateCommandStates);
    m_menus[path] = menu;
    return menu;
}

QMenu* CMainWindow::Menu(const QString& path) const {
    auto it = m_menus.find(path);
    return it == m_menus.end() ? nullptr : it->second;
}

void CMainWindow::BuildMenus() {
    std::map<QString, QActionGroup*> radioGroups;
    for (const MainFrameCommand& c : MainFrameCommands()) {
        auto* action = new QAction(QString::fromUtf8(c.text), this);
        action->setStatusTip(QString::fromUtf8(c.statusTip));
        action->setToolTip(QString::fromUtf8(c.statusTip));
        if (*c.shortcut) action->setShortcut(QKeySequence(QString::fromUtf8(c.shortcut)));
        if (c.kind != CommandKind::Action) action->setCheckable(true);
        const MainCommand id = c.id;
        connect(action, &QAction::triggered, this, [this, id] { Run(id); });
        m_actions[id] = action;
        if (!*c.menu) {
            addAction(action);  // key only
            continue;
        }
        const QString path = QString::fromUtf8(c.menu);
        QMenu* menu = MenuFor(path);
        if (c.kind == CommandKind::Radio) {
            QActionGroup*& g = radioGroups[path];
            if (!g || c.separatorBefore) {
                g = new QActionGroup(this);
                g->setExclusive(true);
            }
            g->addAction(action);
        }
        if (c.separatorBefore) menu->addSeparator();
        menu->addAction(action);
        if (id == MainCommand::ExportChart) {
            // The recent files sit at the end of the file commands, before Exit.
            menu->addSeparator();
            m_recentMenu = menu->addMenu(QStringLiteral("Recent &Files"));
        }
    }
    m_actions[MainCommand::Exit]->setMenuRole(QAction::QuitRole);
    m_actions[MainCommand::About]->setMenuRole(QAction::AboutRole);
    m_actions[MainCommand::LiveData]->setData(QVariant());  // the live-data sheet is here
}

void CMainWindow::BuildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Main"));
    m_toolBar->setObjectName(QStringLiteral("MainToolBar"));
    auto icon = [this](QStyle::StandardPixmap p) { return style()->standardIcon(p); };
    m_actions[MainCommand::Retrieve]->setIcon(icon(QStyle::SP_DriveNetIcon));
    m_actions[MainCommand::Open]->setIcon(icon(QStyle::SP_DialogOpenButton));
    m_actions[MainCommand::Save]->setIcon(icon(QStyle::SP_DialogSaveButton));
    m_actions[MainCommand::Print]->setIcon(icon(QStyle::SP_FileDialogDetailedView));
    m_actions[MainCommand::PrintPreview]->setIcon(icon(QStyle::SP_FileDialogContentsView));
    m_actions[MainCommand::About]->setIcon(icon(QStyle::SP_MessageBoxInformation));
    m_toolBar->addAction(m_actions[MainCommand::Retrieve]);
    m_toolBar->addAction(m_actions[MainCommand::Open]);
    m_toolBar->addAction(m_actions[MainCommand::Save]);
    m_toolBar->addSeparator();
    m_docPicker = new QComboBox(m_toolBar);
    m_docPicker->setMinimumContentsLength(16);
    m_docPicker->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_viewPicker = new QComboBox(m_toolBar);
    m_viewPicker->setMinimumContentsLength(12);
    m_viewPicker->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_toolBar->addWidget(m_docPicker);
    m_toolBar->addWidget(m_viewPicker);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[MainCommand::Print]);
    m_toolBar->addAction(m_actions[MainCommand::PrintPreview]);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[MainCommand::About]);
    m_actions[MainCommand::ContextHelp]->setIcon(icon(QStyle::SP_DialogHelpButton));
    m_toolBar->addAction(m_actions[MainCommand::ContextHelp]);
    connect(m_docPicker, &QComboBox::activated, this, [this](int index) {
        auto* sub = m_docPicker->itemData(index).value<QMdiSubWindow*>();
        if (sub) m_mdi->setActiveSubWindow(sub);
    });
    connect(m_viewPicker, &QComboBox::activated, this, [this](int index) {
        QWidget* target = m_viewPicker->itemData(index).value<QWidget*>();
        if (auto* frame = qobject_cast<QMdiSubWindow*>(target)) {
            m_mdi->setActiveSubWindow(frame);
            if (QMdiSubWindow* sub = m_mdi->activeSubWindow()) sub->widget()->setFocus();
        } else if (target) {
            // The track map's own window.
            target->show();
            target->raise();
            target->activateWindow();
        }
    });
}

void CMainWindow::BuildStatusBar() {
    // The message pane shows "Ready" whenever no menu or tool tip text is on it.
    QStatusBar* bar = statusBar();
    bar->showMessage(QString::fromLatin1(kReady));
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& text) {
        if (text.isEmpty()) bar->showMessage(QString::fromLatin1(kReady));
    });
    const char* names[] = {"CAP", "NUM", "SCRL"};
    for (std::size_t i = 0; i < m_keyIndicators.size(); ++i) {
        auto* label = new QLabel(QString::fromLatin1(names[i]), bar);
        label->setObjectName(QStringLiteral("Indicator") + QString::fromLatin1(names[i]));
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 10);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(label);
        m_keyIndicators[i] = label;
    }
    for (QLabel* label : m_keyIndicators) label->setEnabled(false);
    qApp->installEventFilter(this);
    UpdateKeyIndicators();
}

void CMainWindow::UpdateKeyIndicators() {
    // A lock that is off shows its name greyed, as the keyboard shows an unlit light. Where
    // the system shows no keyboard lights, each press of the key flips the indicator.
    const char* leds[] = {"capslock", "numlock", "scrolllock"};
    for (std::size_t i = 0; i < m_keyIndicators.size(); ++i)
        if (std::optional<bool> on = LockLed(leds[i])) m_keyIndicators[i]->setEnabled(*on);
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        // A key event travels from the focus widget up to its window: count it once.
        QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget()
                                                     : QApplication::activeWindow();
        auto* key = static_cast<QKeyEvent*>(event);
        const int which = key->key() == Qt::Key_CapsLock     ? 0
                          : key->key() == Qt::Key_NumLock    ? 1
                          : key->key() == Qt::Key_ScrollLock ? 2
                                                             : -1;
        if (which >= 0 && watched == first && !key->isAutoRepeat()) {
            QLabel* label = m_keyIndicators[static_cast<std::size_t>(which)];
            label->setEnabled(!label->isEnabled());
            UpdateKeyIndicators();
        }
    } else if (event->type() == QEvent::ApplicationActivate) {
        UpdateKeyIndicators();
    }
    return QMainWindow::eventFilter(watched, event);
}

CDocumentWindow* CMainWindow::ActiveDocument() const {
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    if (!sub && !m_mdi->subWindowList().isEmpty()) sub = m_mdi->subWindowList().last();
    // An auxiliary view's frame stands for its document's graph window.
    if (auto* frame = qobject_cast<CGenericFrame*>(sub)) sub = frame->GraphFrame();
    return sub ? qobject_cast<CDocumentWindow*>(sub->widget()) : nullptr;
}

QList<CDocumentWindow*> CMainWindow::Documents() const {
    QList<CDocumentWindow*> out;
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (auto* w = qobject_cast<CDocumentWindow*>(sub->widget())) out.push_back(w);
    return out;
}

QAction* CMainWindow::Action(MainCommand id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainWindow::RebuildPickers() {
    m_bRebuildingPickers = true;
    m_docPicker->clear();
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        auto* w = qobject_cast<CDocumentWindow*>(sub->widget());
        if (!w) continue;
        m_docPicker->addItem(QString::fromStdString(PickerTitle(w->Document().m_strTitle)),
                             QVariant::fromValue(sub));
        if (sub == active) m_docPicker->setCurrentIndex(m_docPicker->count() - 1);
    }
    m_viewPicker->clear();
    if (CDocumentWindow* w = active ? ActiveDocument() : nullptr) {
        m_viewPicker->addItem(QStringLiteral("Graph"), QVariant::fromValue(w->parentWidget()));
        AddViewPickerEntries(*w);
    }
    m_bRebuildingPickers = false;
}

void CMainWindow::UpdateCommandStates() {
    const bool haveDoc = ActiveDocument() != nullptr;
    for (auto& [id, action] : m_actions) {
        bool enabled = !(NeedsDataWindow(id) && !haveDoc);
        if (action->data().toString() == QLatin1String("unavailable")) enabled = false;
        if (id == MainCommand::Retrieve && m_bRetrieving) enabled = false;
        // One conversation holds the port at a time.
        if (IsLoggerConversation(id) && LoggerBusy()) enabled = false;
        action->setEnabled(enabled);
        if (action->isCheckable()) action->setChecked(IsMainCommandChecked(id, m_app));
        action->setText(QString::fromStdString(MainCommandText(id, m_app)));
        if (auto colour = ColorCommandOf(id))
            action->setIcon(SwatchIcon(m_app.GetColor(colour->color)));
    }
    UpdateGraphMenus();
    UpdateDataMenus();
    m_actions[MainCommand::ToolBar]->setChecked(m_toolBar && !m_toolBar->isHidden());
    m_actions[MainCommand::StatusBar]->setChecked(!statusBar()->isHidden());
}

void CMainWindow::ApplyMenuTips() {
    for (auto& [path, menu] : m_menus) menu->setToolTipsVisible(m_app.GetShowToolTips());
}

void CMainWindow::Run(MainCommand id) {
    CDocumentWindow* doc = ActiveDocument();
    if (ApplyMainToggle(id, m_app)) {
        if (id == MainCommand::MenuTips) ApplyMenuTips();
        if (id == MainCommand::ThemeSystem || id == MainCommand::ThemeLight ||
            id == MainCommand::ThemeDark)
            ApplyTheme(m_app.GetTheme());
        UpdateCommandStates();
        return;
    }
    if (ColorCommandOf(id)) {
        ChooseColor(id);
        return;
    }
    switch (id) {
        case MainCommand::Retrieve:
            RetrieveFromLogger();
            break;
        case MainCommand::SetupLoggerChannels:
            SetupLoggerChannels();
            break;
        case MainCommand::UpdateFirmware:
            UpdateFirmware();
            break;
        case MainCommand::Open:
            OpenWithDialog();
            break;
        case MainCommand::Close:
            if (m_mdi->activeSubWindow()) m_mdi->activeSubWindow()->close();
            break;
        case MainCommand::Save:
            if (doc) SaveDocument(doc, QString::fromStdString(doc->Document().m_strPathName));
            break;
        case MainCommand::SaveAs:
            if (doc) SaveDocument(doc);
            break;
        case MainCommand::AddOverlay:
            OverlayWithDialog();
            break;
        case MainCommand::DemoSession:
            OpenDemo();
            break;
        case MainCommand::Print:
            PrintWithDialog(false);
            break;
        case MainCommand::PrintPreview:
            PrintWithDialog(true);
            break;
        case MainCommand::PrintSetup:
            PrintSetup();
            break;
        case MainCommand::ExportChart:
            ExportWithDialog();
            break;
        case MainCommand::Exit:
            close();
            break;
        case MainCommand::LiveData:
            ShowLiveData();
            break;
        case MainCommand::ComPort: {
            CComPortChoice choice(m_app.GetComPort(), m_app.GetComDevice(), ListSerialDevices(),
                                  m_host);
            CComPortDialog dlg(this, choice);
            if (dlg.exec() == QDialog::Accepted) {
                m_app.SetComPort(choice.Port());
                m_app.SetComDevice(choice.Path());
            }
            break;
        }
        case MainCommand::SetupAnalog:
            OpenDefaultSetups(SetupKind::Analog);
            break;
        case MainCommand::SetupDigital:
            OpenDefaultSetups(SetupKind::Digital);
            break;
        case MainCommand::SetupRpm:
            OpenDefaultSetups(SetupKind::Rpm);
            break;
        case MainCommand::SetupTransmission:
            OpenDefaultSetups(SetupKind::Transmission);
            break;
        case MainCommand::SpikeFilter: {
            DialogContext context{m_app, m_host, nullptr, this};
            OpenedDialog levels = OpenDefaultSpikeFilter(context);
            RunOpened(levels);
            break;
        }
        case MainCommand::ToolBar:
            m_toolBar->setVisible(m_toolBar->isHidden());
            break;
        case MainCommand::StatusBar:
            statusBar()->setVisible(statusBar()->isHidden());
            break;
        case MainCommand::Cascade:
            m_mdi->cascadeSubWindows();
            break;
        case MainCommand::Tile:
            m_mdi->tileSubWindows();
            break;
        case MainCommand::HelpIndex:
            m_help->ShowTopic(QStringLiteral("index"));
            break;
        case MainCommand::HelpTopic:
            m_help->ShowTopicOf(m_mdi->activeSubWindow() ? m_mdi->activeSubWindow()->widget()
                                                         : static_cast<QWidget*>(this));
            break;
        case MainCommand::ContextHelp:
            m_help->EnterContextMode();
            break;
        case MainCommand::About:
            About();
            break;
        case MainCommand::TrackCalcSettings:
            DefaultTrackSettings();
            break;
        case MainCommand::AccelThresholds:
            DefaultSegmentThresholds(false);
            break;
        case MainCommand::CornerThresholds:
            DefaultSegmentThresholds(true);
            break;
        default:
            break;
    }
    UpdateCommandStates();
}

void CMainWindow::ChooseColor(MainCommand id) {
    auto c = ColorCommandOf(id);
    QColor chosen = QColorDialog::getColor(ToQColor(m_app.GetColor(c->color)), this,
                                           QString::fromUtf8(c->title));
    if (!chosen.isValid()) return;
    m_app.SetColor(c->color, MakeRGB(chosen.red(), chosen.green(), chosen.blue()));
    UpdateCommandStates();
}

CDocumentWindow* CMainWindow::AddDocument(std::unique_ptr<CBriodashDoc> doc) {
    auto* window = new CDocumentWindow(std::move(doc), m_app, m_host);
    window->canClose = [this](CDocumentWindow& w) { return m_bClosingAll || ConfirmClose(w); };
    InstallChannelMenu(*window);
    InstallChartPopup(*window);
    QMdiSubWindow* sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(sub, &QObject::destroyed, this, [this] {
        if (m_bDestroying) return;
        RebuildPickers();
        UpdateCommandStates();
    });
    // A window not yet shown has its layout applied now, so that the workspace has its size.
    if (!isVisible() && layout()) layout()->activate();
    const QSize space = m_mdi->isVisible() ? m_mdi->viewport()->size() : m_mdi->size();
    sub->show();
    sub->setGeometry(NewWindowPlace(space, static_cast<int>(m_mdi->subWindowList().size()) - 1));
    m_mdi->setActiveSubWindow(sub);
    RebuildPickers();
    UpdateCommandStates();
    return window;
}

CDocumentWindow* CMainWindow::OpenFile(const QString& path) {
    const std::string file = QFileInfo(path).absoluteFilePath().toStdString();
    // A file already open is brought to the front instead of being read twice.
    for (CDocumentWindow* w : Documents())
        if (!w->Document().m_strPathName.empty() && w->Document().m_strPathName == file) {
            for (QMdiSubWindow* sub : m_mdi->subWindowList())
                if (sub->widget() == w) m_mdi->setActiveSubWindow(sub);
            return w;
        }
    auto doc = m_documents.OpenDocument(file);
    if (!doc) return nullptr;
    AddRecent(QString::fromStdString(doc->m_strPathName));
    return AddDocument(std::move(doc));
}

CDocumentWindow* CMainWindow::OpenDemo(double minutes) {
    auto doc = m_documents.NewDocument();
    GeneratorOptions options;
    options.minutes = minutes;
    if (!FillDemoDocument(*doc, options)) return nullptr;
    return AddDocument(std::move(doc));
}

bool CMainWindow::SaveDocument(CDocumentWindow* window, const QString& requested) {
    if (!window) return false;
    QString path = requested;
    // Only binary data files are written; an ASCII file is saved under a new name.
    if (!path.isEmpty() &&
        QFileInfo(path).suffix().compare(QLatin1String("tbc"), Qt::CaseInsensitive) != 0 &&
        !QFileInfo(path).suffix().isEmpty())
        path.clear();
    if (path.isEmpty()) {
        QString proposal = QString::fromStdString(PickerTitle(window->Document().m_strTitle));
        path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), proposal,
                                            QStringLiteral("Data Files (*.tbc)"));
        if (path.isEmpty()) return false;
    }
    CBriodashDoc& doc = window->Document();
    if (!doc.Save(path.toStdString())) return false;
    AddRecent(QString::fromStdString(doc.m_strPathName));
    window->UpdateTitle();
    RebuildPickers();
    return true;
}

bool CMainWindow::AddOverlay(CDocumentWindow* window, const QString& path) {
    if (!window || !window->Document().AddOverlay(path.toStdString())) return false;
    window->DatasetsChanged();
    return true;
}

bool CMainWindow::ConfirmClose(CDocumentWindow& window) {
    CBriodashDoc& doc = window.Document();
    if (!doc.m_bModified) return true;
    Answer a =
        m_host.Ask("Save changes to " + doc.m_strTitle + "?", Buttons::YesNoCancel, Answer::Yes);
    if (a == Answer::Cancel) return false;
    if (a == Answer::No) return true;
    return SaveDocument(&window, QString::fromStdString(doc.m_strPathName));
}

void CMainWindow::closeEvent(QCloseEvent* event) {
    // Every modified document is asked about before any window closes; a Cancel (or a save
    // that fails) keeps the program and all its windows as they were.
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        auto* w = qobject_cast<CDocumentWindow*>(sub->widget());
        if (!w || !w->Document().m_bModified) continue;
        m_mdi->setActiveSubWindow(sub);
        if (!ConfirmClose(*w)) {
            event->ignore();
            return;
        }
    }
    m_bClosingAll = true;
    m_mdi->closeAllSubWindows();
    m_bClosingAll = false;
    if (!m_mdi->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) OpenFile(url.toLocalFile());
    event->acceptProposedAction();
}

void CMainWindow::OpenWithDialog() {
    QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), QString(),
        QStringLiteral("Data Files (*.tbc);;Ascii Files (*.tac);;All Files (*)"));
    if (!path.isEmpty()) OpenFile(path);
}

void CMainWindow::OverlayWithDialog() {
    CDocumentWindow* w = ActiveDocument();
    if (!w) return;
    QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Add File for Overlaying"),
                                                QString(), QStringLiteral("Data Files (*.tbc)"));
    if (!path.isEmpty()) AddOverlay(w, path);
}

QStringList CMainWindow::RecentFiles() const {
    QStringList list;
    for (const std::string& f : m_app.GetRecentFiles()) list.push_back(QString::fromStdString(f));
    return list;
}

void CMainWindow::AddRecent(const QString& path) {
    if (path.isEmpty()) return;
    m_app.AddRecentFile(path.toStdString());
    RebuildRecentMenu();
}

void CMainWindow::RebuildRecentMenu() {
    if (!m_recentMenu) return;
    m_recentMenu->clear();
    const QStringList recent = RecentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QAction* a = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        connect(a, &QAction::triggered, this, [this, path] {
            if (!OpenFile(path)) {
                m_app.RemoveRecentFile(path.toStdString());
                RebuildRecentMenu();
            }
        });
    }
    m_recentMenu->setEnabled(!recent.isEmpty());
}

void CMainWindow::About() {
    QMessageBox::about(this, QStringLiteral("About ORVEX"), QString::fromStdString(AboutText()));
}

QImage CMainWindow::RenderWindow(QSize size) {
    resize(size);
    if (QMdiSubWindow* sub = m_mdi->activeSubWindow()) sub->showMaximized();
    if (!isVisible()) {
        setAttribute(Qt::WA_DontShowOnScreen);
        show();
    }
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    return grab().toImage();
}

}  // namespace orvex
