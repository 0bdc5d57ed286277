// The session dialogs of the data window on the demo session, driven through their widgets:
// a value changed, Cancel leaves the document as it was, OK applies; each saved as a picture.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "DialogDriving.h"
#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/DemoDocument.h"
#include "app/DocumentSetup.h"
#include "app/ui/DialogGallery.h"
#include "model/Document.h"
#include "processing/Laps.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

using test::Click;

void Save(QDialog& dialog, const char* name) {
    QVERIFY(
        dialog.grab().save(QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-session-%1.png").arg(name)));
}

std::vector<int32_t> MarkTimes(const CBriodashDataset& ds) {
    std::vector<int32_t> out;
    for (const CSample& m : ds.m_markers.m_samples) out.push_back(m.m_lTime);
    return out;
}

std::vector<int32_t> MarkCodes(const CBriodashDataset& ds) {
    std::vector<int32_t> out;
    for (const CSample& m : ds.m_markers.m_samples) out.push_back(m.m_lRaw);
    return out;
}

}  // namespace

class TestSessionDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    test::FakeHost m_host;
    std::unique_ptr<CDataAcqApp> m_app;
    std::unique_ptr<CBriodashDoc> m_doc;

    CBriodashDataset& Session() { return *m_doc->ShownDatasets(true).front(); }
    OpenedDialog Open(const std::string& title, bool onDocument = true) {
        DialogContext context{*m_app, m_host, onDocument ? m_doc.get() : nullptr};
        OpenedDialog opened = FindDialog(title)->open(context);
        if (opened.dialog) {
            opened.dialog->show();
            if (!QTest::qWaitForWindowExposed(opened.dialog.get())) opened.dialog.reset();
        }
        return opened;
    }
    // OK or Cancel, and on OK the result handed back as the data window does.
    void Finish(OpenedDialog& opened, bool ok) {
        Click(*opened.dialog, ok);
        if (ok && opened.dialog->result() == QDialog::Accepted && opened.accepted)
            opened.accepted();
    }
    // Lap marks every 3 s from 1 s: start, laps 1, 2 and 3.
    void LapMarks() {
        CSampleList& markers = Session().m_markers;
        markers.m_samples.clear();
        for (int i = 0; i < 4; ++i) {
            CSample m;
            m.m_lTime = 10000 + 30000 * i;
            m.m_lRaw = m.m_lFiltered = 100 * i;
            markers.AddTail(m);
        }
        markers.ClearMinMax();
    }

  private slots:
    void init() {
        m_host = test::FakeHost();
        m_app = std::make_unique<CDataAcqApp>(m_dir.filePath("ORVEX.INI").toStdString());
        m_doc =
            std::make_unique<CBriodashDoc>(m_host, DefaultDocumentServices(), DocumentOptions{});
        GeneratorOptions demo;
        demo.minutes = 0.2;
        QVERIFY(FillDemoDocument(*m_doc, demo));
        m_doc->m_bModified = false;
        m_host.messages.clear();  // what reading the short demo reported
    }

    void deleteDataCutsBeforeTheGreenMarkerOnOk() {
        m_doc->m_lGreenTime = 40000;
        CBriodashDataset* session = &Session();
        const int32_t end = session->GetEndTime(true);
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Delete Data from Session/Pass");
            QDialog& dlg = *opened.dialog;
            QVERIFY(!dlg.findChild<QCheckBox*>("redBefore")->isEnabled());  // no red marker
            QCOMPARE(dlg.findChild<QLabel*>("greenTime")->text(), QString("@ 0:04.0000"));
            dlg.findChild<QCheckBox*>("greenBefore")->click();
            QVERIFY(dlg.findChild<QCheckBox*>("greenBefore")->isChecked());
            if (ok) Save(dlg, "delete-data");
            m_host.answers = {Answer::Yes};
            Finish(opened, ok);
            QCOMPARE(session->m_bDeleted != 0, ok);
        }
        CBriodashDataset& kept = Session();
        QVERIFY(&kept != session);
        // The kept part is the data from the green marker on, counted from there.
        QCOMPARE(kept.GetEndTime(true), end - 40000);
        QVERIFY(kept.GetStartTime(true) < 1000);
        QVERIFY(session->GetEndTime(true) <= 40000);
        QCOMPARE(m_doc->m_lGreenTime, 0);
        QCOMPARE(m_host.messages.back().text, std::string("Data has been deleted."));
        QVERIFY(m_doc->m_bModified);
    }

    void deleteDataSetAsksAboutTheMarkerChoice() {
        m_doc->m_lRedTime = 50000;
        OpenedDialog opened = Open("Delete Data from Session/Pass");
        QDialog& dlg = *opened.dialog;
        dlg.findChild<QCheckBox*>("redAfter")->click();
        m_host.answers = {Answer::No};
        dlg.findChild<QCheckBox*>("wholeDataset")->click();
        QVERIFY(dlg.findChild<QCheckBox*>("redAfter")->isChecked());
        QVERIFY(!dlg.findChild<QCheckBox*>("wholeDataset")->isChecked());
        QCOMPARE(m_host.questions.back(),
                 std::string("Entire Data-Set selection overlaps other marker selection(s).\n"
                             "Remove other marker selection(s)?"));
        // Refused on OK: the dialog stays and the session with it.
        m_host.answers = {Answer::No};
        Click(dlg, true);
        QVERIFY(dlg.isVisible());
        QVERIFY(!Session().m_bDeleted);
    }

    void commentsAreWrittenBackOnOk() {
        const std::vector<std::string> before = Session().m_lstComments;
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Comments");
            auto* text = opened.dialog->findChild<QPlainTextEdit*>("comments");
            text->setPlainText(QStringLiteral("Wet track\nNew tyres"));
            if (ok) Save(*opened.dialog, "comments");
            Finish(opened, ok);
            QCOMPARE(Session().m_lstComments,
                     ok ? (std::vector<std::string>{"Wet track", "New tyres"}) : before);
        }
    }

    void beaconsRenumberTheMarksOnOk() {
        LapMarks();
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Number of Beacons");
            QDialog& dlg = *opened.dialog;
            QCOMPARE(dlg.windowTitle(), QString("Number of Beacons"));
            auto* beacons = dlg.findChild<QSpinBox*>("beacons");
            QCOMPARE(beacons->value(), 1);
            beacons->setValue(2);
            if (ok) Save(dlg, "beacons");
            Finish(opened, ok);
            QCOMPARE(MarkCodes(Session()), ok ? (std::vector<int32_t>{0, 1, 100, 101})
                                              : (std::vector<int32_t>{0, 100, 200, 300}));
        }
        QCOMPARE(Session().m_nBeaconsPerLap, 2);
        QVERIFY(m_doc->m_bModified);
    }

    void lapTimesReportInsertsALapOnlyOnOk() {
        LapMarks();
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Lap Times Report");
            QDialog& dlg = *opened.dialog;
            QVERIFY(!dlg.isModal());
            auto* lines = dlg.findChild<QListWidget*>("lines");
            QCOMPARE(lines->count(), 4);
            QTest::keyClicks(dlg.findChild<QLineEdit*>("entry"), "0:11.500");
            dlg.findChild<QPushButton*>("elapsed")->click();
            QCOMPARE(lines->count(), 5);
            QVERIFY(lines->item(4)->text().startsWith("  4\t0:11.50"));
            Finish(opened, ok);
            QCOMPARE(Session().m_markers.Size(), ok ? 5 : 4);
        }
        QCOMPARE(MarkCodes(Session()), (std::vector<int32_t>{0, 100, 200, 300, 400}));
        QVERIFY(m_doc->m_bModified);
    }

    void moveLapMarkersMovesTheMarksByTheDistance() {
        LapMarks();
        CBriodashDataset& ds = Session();
        QVERIFY(ds.m_nDistanceSource != 0);
        for (CSample& m : ds.m_markers.m_samples) m.m_lDistance = DistanceAtTime(ds, m.m_lTime);
        const std::vector<int32_t> before = MarkTimes(ds);
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Move Lap Markers");
            QDialog& dlg = *opened.dialog;
            QVERIFY(dlg.findChild<QLabel*>("note")->isHidden());
            auto* distance = dlg.findChild<QLineEdit*>("distance");
            QTest::keyClicks(distance, "100");
            if (ok) Save(dlg, "move-lap-markers");
            Finish(opened, ok);
            QCOMPARE(MarkTimes(ds) == before, !ok);
        }
        // 100 ft further: every lap line later than before.
        for (std::size_t i = 1; i < before.size(); ++i)
            QVERIFY(ds.m_markers.m_samples[i].m_lTime > before[i]);
        QVERIFY(m_doc->m_bModified);
    }

    void dataAlignmentShiftsTheDriveShaftOnOk() {
        m_doc->m_lGreenTime = 30000;
        m_doc->m_lRedTime = 20000;
        const CFreqSetup* shaft = Session().m_carSetup.FindRpmSetup(2);
        QVERIFY(shaft && shaft->m_nRpmType == 10);
        CShaftList& series = Session().m_rpm[1];
        const int32_t last = series.m_samples.back().m_lTime;
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Data Alignment Menu");
            QDialog& dlg = *opened.dialog;
            QCOMPARE(dlg.findChild<QLabel*>("red")->text(), QString("@ 0:02.0000"));
            if (ok) Save(dlg, "data-alignment");
            Finish(opened, ok);
            QVERIFY(m_host.messages.empty());
            // 1 s later (framed data move by whole frames and are padded at the start).
            const int32_t moved = series.m_samples.back().m_lTime - last;
            QVERIFY2(ok ? std::abs(moved - 10000) <= 400 : moved == 0,
                     qPrintable(QString::number(moved)));
        }
        // Without the red marker the dialog does not open.
        m_doc->m_lRedTime = kNotSet;
        QVERIFY(!Open("Data Alignment Menu").dialog);
        QCOMPARE(m_host.messages.back().text,
                 std::string("Both the Green and Red Markers must be set\n to align tach and "
                             "drive shaft data"));
    }

    void switchTimerDataGivesTheDifferenceOfTwoEvents() {
        OpenedDialog opened = Open("Switch/Timer Data");
        QDialog& dlg = *opened.dialog;
        dlg.findChild<QRadioButton*>("channels_2")->click();  // "All Channels"
        auto* events = dlg.findChild<QListWidget*>("events");
        QVERIFY(events->count() >= 2);
        QCOMPARE(events->selectionMode(), QAbstractItemView::ExtendedSelection);
        auto* difference = dlg.findChild<QLabel*>("difference");
        events->item(0)->setSelected(true);
        QCOMPARE(difference->text(),
                 QString("Can Only calculate difference between 2 selections!"));
        events->item(1)->setSelected(true);
        QVERIFY(QRegularExpression("^\\d+:\\d\\d\\.\\d{4}$").match(difference->text()).hasMatch());
        Save(dlg, "switch-timer");
        dlg.findChild<QRadioButton*>("dataSets_1")->click();
        QCOMPARE(difference->text(),
                 QString("Can Only calculate difference between 2 selections!"));
        Finish(opened, true);
        QVERIFY(!m_doc->m_bModified);
    }

    void exportWritesTheSelectedChannelsAfterTheFileDialog() {
        const QString path = m_dir.filePath("run.asc");
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Select Channels to Export");
            QDialog& dlg = *opened.dialog;
            auto* available = dlg.findChild<QListWidget*>("available");
            auto* selected = dlg.findChild<QListWidget*>("selected");
            QCOMPARE(available->item(0)->text(), QString("RPM #1:Engine"));
            QVERIFY(!dlg.findChild<QComboBox*>("rate")->isEnabled());
            available->item(0)->setSelected(true);
            dlg.findChild<QPushButton*>("add")->click();
            QCOMPARE(selected->count(), 1);
            QVERIFY(dlg.findChild<QComboBox*>("rate")->isEnabled());
            QVERIFY(dlg.findChild<QComboBox*>("rate")->currentText().endsWith(" Hz"));
            if (ok) {
                Save(dlg, "export");
                // The file dialog that follows OK, answered with the file's name.
                QTimer::singleShot(0, this, [path] {
                    auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                    QVERIFY(files);
                    QCOMPARE(files->windowTitle(), QString("Save File for Exporting"));
                    files->selectFile(path);
                    QMetaObject::invokeMethod(files, "accept");
                });
            }
            Finish(opened, ok);
            QCOMPARE(QFileInfo::exists(path), ok);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith("RPM #1: Engine "));
        QVERIFY(!text.contains("Analog #"));
    }

    void etSlipReportWritesItsMarksOnOk() {
        CBriodashDataset& ds = Session();
        ds.m_markers.m_samples.clear();
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("ET Slip Report");
            QDialog& dlg = *opened.dialog;
            QVERIFY(!dlg.isModal());
            // Each typed time is taken when its entry is finished (the focus leaves it).
            auto* launch = dlg.findChild<QLineEdit*>("launch");
            QTest::keyClicks(launch, "0:01.000");
            emit launch->editingFinished();
            auto* sixty = dlg.findChild<QLineEdit*>("et0");
            QTest::keyClicks(sixty, "0:01.500");
            emit sixty->editingFinished();
            if (ok) Save(dlg, "et-slip");
            Finish(opened, ok);
            QCOMPARE(ds.m_markers.Size(), ok ? 2 : 0);
        }
        QCOMPARE(MarkTimes(ds), (std::vector<int32_t>{10000, 25000}));
        QVERIFY(IsEtConfigured(ds.m_markers));
        QVERIFY(m_doc->m_bModified);
    }

    void gearSelectionShiftsUpOnOk() {
        CBriodashDataset& ds = Session();
        CShaftList& engine = ds.m_rpm[0];
        std::size_t at = 0;
        while (at < engine.m_samples.size() && engine.m_samples[at].m_lTime < 60000) ++at;
        QVERIFY(at < engine.m_samples.size());
        const int16_t gear = engine.m_samples[at].m_nGear;
        QVERIFY(gear < 6);
        m_doc->m_lGreenTime = engine.m_samples[at].m_lTime;
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Gear Selection");
            QDialog& dlg = *opened.dialog;
            auto* shift = dlg.findChild<QListWidget*>("shift");
            QVERIFY(shift->item(0)->text().startsWith("Upshift "));
            shift->setCurrentRow(0);
            if (ok) Save(dlg, "gear");
            Finish(opened, ok);
            QCOMPARE(int(engine.m_samples[at].m_nGear), ok ? gear + 1 : gear);
        }
        QVERIFY(m_doc->m_bModified);
    }

    void defaultSpikeFilterLevelsAreStoredOnOk() {
        const int before = m_app->GetAnalogSpikeLevels()[2];
        QVERIFY(before != 2);
        for (bool ok : {false, true}) {
            OpenedDialog opened = Open("Spike Filter Settings - Default Settings", false);
            QDialog& dlg = *opened.dialog;
            QCOMPARE(dlg.windowTitle(), QString("Spike Filter Settings - Default Settings"));
            QVERIFY(dlg.findChild<QPushButton*>("apply")->isHidden());
            auto* box = dlg.findChild<QCheckBox*>("analog3");
            QVERIFY(!box->isChecked());
            box->click();
            Finish(opened, ok);
            QCOMPARE(m_app->GetAnalogSpikeLevels()[2], ok ? 2 : before);
        }
    }
};

QTEST_MAIN(TestSessionDialogs)
#include "test_session_dialogs.moc"
