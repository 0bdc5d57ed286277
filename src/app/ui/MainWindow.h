// The program's multiple-document main window: menus and tool bar built from the main frame's
// command table, the document and view pickers, the status bar, and one graph window per
// document (open, save, overlay, demo, upload, print and export).
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/DataWindowCommands.h"
#include "app/DocumentSetup.h"
#include "app/MainFrameCommands.h"
#include "graph/GraphNav.h"
#include "model/Document.h"

class QComboBox;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QLabel;
class QPainter;
class QPrinter;

namespace orvex {

class CDataAcqApp;
class CBriodashDoc;
class CBriodashDataset;
class CDocumentWindow;
class CHelpController;
class CTrackMapWindow;
class IHostServices;
struct OpenedDialog;

class CMainWindow : public QMainWindow {
    Q_OBJECT
  public:
    CMainWindow(CDataAcqApp& app, IHostServices& host, QWidget* parent = nullptr);
    ~CMainWindow() override;

    QAction* Action(MainCommand id) const;
    QMenu* Menu(const QString& path) const;
    QMdiArea* MdiArea() const { return m_mdi; }
    QMenu* GraphMenu() const { return m_graphMenu; }
    QAction* GraphAction(GraphCommand id) const { return m_graphActions.at(id); }
    const std::vector<QAction*>& MarkerActions() const { return m_markerActions; }
    QComboBox* DocumentPicker() const { return m_docPicker; }
    QComboBox* ViewPicker() const { return m_viewPicker; }
    CDocumentWindow* ActiveDocument() const;
    CHelpController* Help() const { return m_help; }
    QList<CDocumentWindow*> Documents() const;

    // Opens a data file (binary, or ASCII through the document's reader); null on failure.
    CDocumentWindow* OpenFile(const QString& path);
    // Opens a generated session of the given length in minutes.
    CDocumentWindow* OpenDemo(double minutes = 10.0);
    // Puts a finished document into a new graph window.
    CDocumentWindow* AddDocument(std::unique_ptr<CBriodashDoc> doc);
    // Saves the document; an empty path asks for one. Returns false when not saved.
    bool SaveDocument(CDocumentWindow* window, const QString& path = QString());
    bool AddOverlay(CDocumentWindow* window, const QString& path);
    // The graph as a PDF (".pdf") or PNG picture of the given size.
    bool ExportChart(CDocumentWindow* window, const QString& path, QSize size);
    // Paints the graph on a printer page.
    void PrintChart(CDocumentWindow* window, QPrinter& printer);
    // The printer that "Print Setup...", "Print..." and "Print Preview" share.
    QPrinter& Printer();
    // Lays the window out at `size` with the active graph window maximised and renders it.
    QImage RenderWindow(QSize size);
    // Shows (creating it the first time) an auxiliary view of the active document; null
    // without a document. The "Change ..." menus and the view picker follow.
    QWidget* ShowView(ViewKind kind);
    // "&Track Map": shows (creating it the first time) the track map window of the active
    // document; without a lap yet, `lap` > 0 builds that lap's map and 0 asks for one. Null
    // without a document.
    CTrackMapWindow* ShowTrackMap(int lap = 0);
    // "Track Map Settings" of the active document.
    void TrackMapSettings();
    // The default settings of new documents' track maps: "Calculation Settings" and the two
    // segment threshold dialogs.
    void DefaultTrackSettings();
    void DefaultSegmentThresholds(bool corners);
    // The "Change &Map" menu while the active document's track map window is shown.
    QMenu* TrackMapMenu() const { return m_trackMenu; }
    // The race popup of the graph menu.
    QMenu* RaceMenu() const { return m_raceMenu; }
    // "histogram", "traction" or "lap-report" shown with a first selection, for screenshots.
    bool ShowViewByName(const std::string& name);
    // The "Change &Histogram", "Change &Circle" and "Change &Lap Segments" menus in the bar.
    QList<QMenu*> ViewMenus() const { return m_viewMenus; }

    // The data window's session commands (menus "&File", "&Edit", "&Setup", "&Laps" and
    // "Change Graph") and the chart's pop-up.
    QAction* DataAction(DataCommand id) const { return m_dataActions.at(id); }
    void RunDataCommand(DataCommand id);
    // The chart's pop-up at a viewport point, and one of its commands carried out there.
    void FillChartPopup(QMenu& menu, CDocumentWindow& window, QPoint at);
    void RunPopupCommand(CDocumentWindow& window, DataCommand id, QPoint at);
    // Modal dialogs of the commands, for tests: a handler that returns true has answered (the
    // dialog's result says how); otherwise the dialog runs as usual.
    std::function<bool(QDialog&)> m_runDialog;

    QStringList RecentFiles() const;
    // Reads and writes the recent-file list next to the settings.

    // Enabling, check marks and changing texts of every command.
    void UpdateCommandStates();
    // Carries out a command as its menu item does.
    void Run(MainCommand id);

    // "Retrieve from Data-Logger": a new document from the logger on the chosen port.
    void RetrieveFromLogger();
    // "Setup Data Logger's Channels": the configuration dialog on copies of the four stored
    // configurations; OK stores them and the record-segment count.
    void SetupLoggerChannels();
    // "Update Firmware on Data Logger": the firmware dialog, modal.
    void UpdateFirmware();
    // "Live Data": the live-data sheet on a copy of the default car setup; OK keeps the copy.
    // `opened` (tests) sees the sheet's window before it runs.
    void ShowLiveData(const std::function<void(QDialog&)>& opened = {});
    // A conversation with the logger holds the port: the other logger commands wait.
    bool LoggerBusy() const { return m_bRetrieving || m_bLoggerDialog || m_bLiveData; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolBar();
    void BuildGraphMenus();
    void UpdateGraphMenus();
    // The data window's command menus (MainWindowData.cpp).
    void BuildDataMenus();
    void UpdateDataMenus();
    DataWindowState DataStateOf(CDocumentWindow* window) const;
    // Runs a modal dialog (or lets m_runDialog answer it); true when it was accepted.
    bool RunModal(QDialog& dialog);
    // Opens the gallery's dialog of that title on the window's document and runs it; true
    // when it was accepted (and its result handed back).
    bool RunGalleryDialog(CDocumentWindow& window, const std::string& title);
    bool RunOpened(OpenedDialog& opened);
    void RunGearSelection(CDocumentWindow& window);
    void InstallChartPopup(CDocumentWindow& window);
    // The default-settings forms of the channel setup dialogs (MainWindowSetups.cpp).
    void OpenDefaultSetups(SetupKind kind);
    // The channel list's context menu and a double click on a channel name open the
    // "Channel Menu".
    void InstallChannelMenu(CDocumentWindow& window);
    QMenu* MenuFor(const QString& path);
    void AddRecent(const QString& path);
    void RebuildRecentMenu();
    void RebuildPickers();
    void BuildViewMenus();
    void UpdateViewMenus();
    void AddViewPickerEntries(CDocumentWindow& window);
    enum class ViewOutput { Print, Preview, Export };
    // Print, preview or export of the active auxiliary view; false when none is active.
    bool OutputActiveView(ViewOutput what);
    void ApplyMenuTips();
    bool ConfirmClose(CDocumentWindow& window);
    void ChooseColor(MainCommand id);
    void OpenWithDialog();
    void OverlayWithDialog();
    void ExportWithDialog();
    void PrintWithDialog(bool preview);
    void PrintSetup();
    void BuildStatusBar();
    void UpdateKeyIndicators();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void About();

    CDataAcqApp& m_app;
    IHostServices& m_host;
    // Every document of the window comes from here.
    CDocumentFactory m_documents{m_host, m_app};
    QMdiArea* m_mdi = nullptr;
    QComboBox* m_docPicker = nullptr;
    QComboBox* m_viewPicker = nullptr;
    QMenu* m_recentMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    CHelpController* m_help = nullptr;
    std::map<MainCommand, QAction*> m_actions;
    std::map<GraphCommand, QAction*> m_graphActions;
    std::vector<QAction*> m_markerActions;
    QMenu* m_graphMenu = nullptr;
    QMenu* m_setupMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_lapsMenu = nullptr;
    std::map<DataCommand, QAction*> m_dataActions;
    QList<QMenu*> m_viewMenus;
    QMenu* m_trackMenu = nullptr;
    QMenu* m_raceMenu = nullptr;
    std::map<ViewKind, QAction*> m_viewActions;
    std::map<QString, QMenu*> m_menus;
    std::unique_ptr<QPrinter> m_printer;
    std::array<QLabel*, 3> m_keyIndicators{};  // CAP, NUM, SCRL
    bool m_bClosingAll = false;                // Exit: every save question already answered
    bool m_bRetrieving = false;
    bool m_bLoggerDialog = false;  // the configuration or firmware dialog is open
    bool m_bLiveData = false;      // the live-data sheet holds the port
    bool m_bRebuildingPickers = false;
    bool m_bDestroying = false;
};

// Paints the graph of `window` on a page of `page` device pixels at the given resolution, as
// printed and exported to PDF: half-inch margins, fonts and scale columns in their screen
// proportions, and the title centred below the plot.
void PaintChartPage(CDocumentWindow& window, QPainter& p, QRect page, int dpiX, int dpiY);

}  // namespace orvex
