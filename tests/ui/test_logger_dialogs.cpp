// The configuration dialog and the firmware dialog on real widgets against the logger
// simulator: retrieve, change a channel and an equation term through the controls, send and
// read back; analyse and reload firmware from a generated HEX file with the questions
// answered; pictures of every page; the main window's commands.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/MainFrameCommands.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtHost.h"
#include "host/ui/DialogBinder.h"
#include "logger/config/ConfigSheet.h"
#include "logger/firmware/FirmwareForm.h"
#include "logger/link/SerialLine.h"
#include "logger/ui/FirmwareDialog.h"
#include "logger/ui/LinkWindow.h"
#include "logger/ui/LoggerConfigDialog.h"
#include "support/FakeHost.h"
#include "support/PtyPair.h"

using namespace orvex;

namespace {

QString ShotPath(const QString& name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-logger-%1.png").arg(name);
}

// Answers every question Yes and every message OK, noting their texts.
class BoxAnswerer : public QObject {
  public:
    BoxAnswerer() {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
                questions << box->text();
                yes->click();
            } else {
                messages << box->text();
                box->accept();
            }
        });
        m_timer.start();
    }
    QStringList questions, messages;

  private:
    QTimer m_timer;
};

CLinkOptions FastLink(const std::string& device) {
    CLinkOptions o;
    o.device = device;
    o.timing.wakeInterval = 0.05;
    o.timing.packetIdle = 0.6;
    o.timing.bytesIdle = 0.6;
    o.timing.resendInterval = 0.1;
    o.timing.drainTime = 0.05;
    o.timing.insidePacketIdle = 0.6;
    o.timing.delayScale = 0.01;
    o.waitScale = 0.25;
    return o;
}

// Four configurations as a logger might hold them: the first active with engine RPM and
// throttle, the others with a little of everything.
std::array<CTachConfig, 4> LoggerConfigs() {
    std::array<CTachConfig, 4> c;
    // Records read from a logger carry bit 7 in their first byte.
    for (CTachConfig& t : c) t.m_nActive = 0x80;
    c[0].m_nActive = 0x81;
    c[0].m_nFreqStatus = 0x01;
    c[0].m_freq[0].m_nKind = 1;
    c[0].m_freq[0].m_nDivider = 10;
    c[0].m_lAnalogStatus = 0x01;
    c[0].m_analog[0].m_nKind = 2;
    c[0].m_analog[0].m_nDivider = 2;
    for (int i = 1; i < 4; ++i) {
        CTachConfig& t = c[static_cast<std::size_t>(i)];
        t.m_nSwitchStatus = static_cast<uint8_t>(i);
        t.m_nTimerStatus = 1;
        t.m_lAnalogStatus = 0x6 << i;
    }
    return c;
}

void WriteBlock(const std::string& path, const std::array<CTachConfig, 4>& configs) {
    const TachRecordForm form = *TachRecordForm::FromBlockSize(984);
    std::ofstream out(path, std::ios::binary);
    for (const CTachConfig& c : configs) {
        const std::vector<uint8_t> r = c.EncodeRecord(form);
        out.write(reinterpret_cast<const char*>(r.data()), static_cast<long>(r.size()));
    }
}

// Intel HEX text of the image bytes from `start`, 16 bytes a record.
std::string HexText(const std::vector<uint8_t>& bytes, int start) {
    std::string text;
    char buf[80];
    for (std::size_t at = 0; at < bytes.size(); at += 16) {
        const std::size_t n = std::min<std::size_t>(16, bytes.size() - at);
        const int address = start + static_cast<int>(at);
        unsigned sum = static_cast<unsigned>(n) + (address >> 8) + (address & 0xFF);
        std::snprintf(buf, sizeof buf, ":%02X%04X00", static_cast<unsigned>(n), address);
        text += buf;
        for (std::size_t i = 0; i < n; ++i) {
            std::snprintf(buf, sizeof buf, "%02X", bytes[at + i]);
            text += buf;
            sum += bytes[at + i];
        }
        std::snprintf(buf, sizeof buf, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += buf;
    }
    return text + ":00000001FF\r\n";
}

// A firmware image for boot monitor 1.03 on the slow clock: banner, boot and clock texts,
// then the version signature naming `major`.`minor`.
std::vector<uint8_t> FirmwareBytes(int major, int minor) {
    const int start = 0x2000;
    std::vector<uint8_t> b;
    auto text = [&b](const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
    };
    text("\nCorvane Data Logger");
    text(",Boot V103");
    text(",11MHz");
    for (int i = 0; i < 40; ++i) b.push_back(static_cast<uint8_t>(0x30 + i % 7));
    const int banner = start;
    b.push_back(static_cast<uint8_t>(major));
    b.push_back(0x00);
    b.push_back(0x00);
    b.push_back(static_cast<uint8_t>(minor));
    for (uint8_t x : {uint8_t{0x7E}, uint8_t{0x14}, static_cast<uint8_t>(banner >> 8),
                      static_cast<uint8_t>(banner & 0xFF), uint8_t{0x7E}, uint8_t{0x04},
                      uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x12}})
        b.push_back(x);
    for (int i = 0; i < 300; ++i) b.push_back(static_cast<uint8_t>(i * 7 + 3));
    return b;
}

std::vector<uint8_t> ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

}  // namespace

class LoggerDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        qputenv("ORVEX_CONFIG_DIR", m_dir.path().toLocal8Bit());
    }

    // Retrieve, then the analog channel 2 enabled and an Output #1 term on engine RPM set
    // through the widgets, sent, and read back equal.
    void configurationGoesToTheLoggerAndBack() {
        if (test::SimulatorPath().empty()) QSKIP("logger simulator not built");
        const std::string block = m_dir.filePath("block").toStdString();
        const std::array<CTachConfig, 4> logger = LoggerConfigs();
        WriteBlock(block, logger);
        test::SimProcess sim({"--family", "kavrane", "--serve-forever", "--idle-exit", "500",
                              "--config-in", block, "--erase-ms", "20"});
        QVERIFY(sim.Started());

        CDataAcqApp app(m_dir.filePath("ORVEX.INI").toStdString());
        test::FakeHost quiet;
        app.LoadSettings(quiet);  // the default channel setups the equation rows offer
        CQtHost host(app.AbortRequest());
        std::array<CTachConfig, 4> stored;
        const EquationChannels channels = app.GetEquationChannels();
        CLoggerConfigSheet sheet(stored, 1, channels, host, FastLink(sim.Path()), false);
        CLoggerConfigDialog dlg(nullptr, sheet);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.windowTitle(), QString("Dialog"));
        const QList<CDialogBinder*> binders = dlg.findChildren<CDialogBinder*>();
        QCOMPARE(binders.size(), 1 + kConfigTabs);
        for (CDialogBinder* b : binders)
            QVERIFY2(b->Missing().isEmpty(), qPrintable(b->Missing().join(", ")));
        // Nothing enabled: the dialog opens on "Timers".
        QCOMPARE(dlg.Tabs()->currentIndex(), static_cast<int>(kTabTimers));
        QStringList tabs;
        for (int i = 0; i < dlg.Tabs()->count(); ++i) tabs << dlg.Tabs()->tabText(i);
        QCOMPARE(tabs, QStringList({"RPMs", "Analogs", "Switches", "Timers", "Auto-Start",
                                    "Output #1", "Output #2"}));

        BoxAnswerer answers;
        dlg.RetrieveButton()->click();
        QVERIFY2(answers.messages.isEmpty(), qPrintable(answers.messages.join("; ")));
        for (int i = 0; i < 4; ++i)
            QVERIFY(sheet.Configs()[static_cast<std::size_t>(i)] ==
                    logger[static_cast<std::size_t>(i)]);
        auto* active = dlg.findChild<QCheckBox*>("active");
        QVERIFY(active->isChecked());
        QCOMPARE(dlg.Tabs()->currentIndex(), static_cast<int>(kTabRpm));
        QVERIFY(dlg.Report()->toPlainText().contains("RPM"));
        QVERIFY(!dlg.findChild<QLineEdit*>("recordingTime")->text().isEmpty());

        // "Analogs": channel 2 enabled as the left-front shock at its suggested rate.
        dlg.ShowTab(kTabAnalog);
        auto* channel = dlg.Control<QSpinBox>(kTabAnalog, "channel");
        channel->setValue(2);
        auto* description = dlg.Control<QComboBox>(kTabAnalog, "description");
        QCOMPARE(description->count(), 25);
        description->setCurrentIndex(1);
        emit description->activated(1);
        dlg.Control<QCheckBox>(kTabAnalog, "enabled")->click();
        auto* suggested = dlg.Control<QCheckBox>(kTabAnalog, "suggested");
        QVERIFY(!suggested->isChecked());  // 20 Hz; a shock is sampled at 100 Hz
        suggested->click();
        QVERIFY(suggested->isChecked());
        QCOMPARE(dlg.Control<QComboBox>(kTabAnalog, "rate")->currentText(), QString("100"));
        const CTachConfig& shown = sheet.Configs()[0];
        QCOMPARE(shown.m_lAnalogStatus, 0x03);
        QCOMPARE(static_cast<int>(shown.m_analog[1].m_nKind), 2);
        QCOMPARE(shown.m_nClockRate / shown.m_analog[1].m_nDivider, 100);
        // A click on a checked "Using Suggested Rate" leaves it checked.
        dlg.Control<QCheckBox>(kTabAnalog, "suggested")->click();
        QVERIFY(dlg.Control<QCheckBox>(kTabAnalog, "suggested")->isChecked());

        // "Output #1": X1 on the engine RPM above 1000.
        dlg.ShowTab(kTabOutput1);
        auto* row = dlg.Control<QCheckBox>(kTabOutput1, "row1");
        auto* value = dlg.Control<QLineEdit>(kTabOutput1, "value1");
        auto* op = dlg.Control<QComboBox>(kTabOutput1, "operator1");
        auto* list = dlg.Control<QComboBox>(kTabOutput1, "channel1");
        QVERIFY(!value->isEnabled());
        row->click();
        QVERIFY2(row->isChecked(), qPrintable(answers.messages.join("; ")));
        QVERIFY(value->isEnabled() && list->isEnabled());
        QVERIFY(list->count() >= 1);
        QVERIFY(list->itemText(0).endsWith(" RPM"));  // the engine comes first
        list->setCurrentIndex(0);
        emit list->activated(0);
        QCOMPARE(op->count(), 5);  // RPM terms offer five operators
        QVERIFY(value->toolTip().startsWith("Enter a"));
        op->setCurrentIndex(1);
        emit op->activated(1);
        // Text the pattern refuses is drawn red, and leaving the field refuses it.
        value->setFocus();
        value->selectAll();
        QTest::keyClicks(value, "12x");
        QCOMPARE(value->palette().color(QPalette::Text), QColor(Qt::red));
        QTest::keyClick(value, Qt::Key_Return);
        QVERIFY(answers.messages.contains("Invalid Input!"));
        value->selectAll();
        QTest::keyClicks(value, "1000");
        QVERIFY(value->palette().color(QPalette::Text) != QColor(Qt::red));
        QTest::keyClick(value, Qt::Key_Return);
        const TachTerm& term = shown.m_eqn[1][0];
        QCOMPARE(term.m_nChannel, uint8_t{0x80});  // in use, RPM channel 1
        QVERIFY(term.m_nValue > 0 && term.m_nValue < 0xFFC0);
        QCOMPARE(static_cast<int>(shown.m_nEqnFlags & 0x02), 0x02);
        // RPM terms are inverted: ">" shown is "<=" stored.
        QCOMPARE(static_cast<int>(term.m_nOperator), ExchangeOperator(1));
        QCOMPARE(value->text(), QString("1000"));
        QVERIFY(dlg.Report()->toPlainText().contains("1000"));

        const std::array<CTachConfig, 4> sent = sheet.Configs();
        answers.messages.clear();
        dlg.SendButton()->click();
        QVERIFY2(answers.messages.isEmpty(), qPrintable(answers.messages.join("; ")));
        QVERIFY2(answers.questions.isEmpty(), qPrintable(answers.questions.join("; ")));

        // The logger's configurations read back are those sent.
        std::array<CTachConfig, 4> blank;
        CLoggerConfigSheet again(blank, 1, channels, host, FastLink(sim.Path()), false);
        QVERIFY(again.Retrieve());
        for (int i = 0; i < 4; ++i)
            QVERIFY(again.Configs()[static_cast<std::size_t>(i)] ==
                    sent[static_cast<std::size_t>(i)]);
        QVERIFY(again.Configs()[0].m_eqn[1][0] == sent[0].m_eqn[1][0]);

        // Every page as a picture.
        dlg.resize(dlg.sizeHint());
        for (int tab = 0; tab < kConfigTabs; ++tab) {
            dlg.ShowTab(tab);
            QCoreApplication::processEvents();
            QString name = QString::fromLatin1(kConfigTabNames[tab]).toLower();
            name.replace(QRegularExpression("[^a-z0-9]+"), "-");
            const QImage shot = dlg.grab().toImage();
            QVERIFY(shot.save(ShotPath("config-" + name)));
        }
        // A report line leads to its tab and channel.
        QTextCursor cursor(dlg.Report()->document()->findBlockByNumber(
            sheet.Dialog().FirstLineOfTab(kTabAnalog) + 3));
        dlg.Report()->setTextCursor(cursor);
        sheet.ReportLineChosen(cursor.blockNumber());
        dlg.RefreshAll();
        QCOMPARE(dlg.Tabs()->currentIndex(), static_cast<int>(kTabAnalog));
        QCOMPARE(dlg.Control<QSpinBox>(kTabAnalog, "channel")->value(), 2);
    }

    // Analysis, the image from the folder offered, the older-version question answered Yes,
    // the reload and "Exit".
    void firmwareIsAnalyzedAndReloaded() {
        if (test::SimulatorPath().empty()) QSKIP("logger simulator not built");
        QTemporaryDir folder;
        const std::vector<uint8_t> bytes = FirmwareBytes(2, 5);
        {
            std::ofstream hex(folder.filePath("logger-205.hex").toStdString());
            hex << HexText(bytes, 0x2000);
        }
        const QString flashed = folder.filePath("flashed.bin");
        test::SimProcess sim({"--family", "kavrane", "--serve-forever", "--idle-exit", "500",
                              "--erase-ms", "20", "--firmware", "2.10", "--flash-out",
                              flashed.toStdString()});
        QVERIFY(sim.Started());
        CAbortRequest abort;
        CQtHost host(abort);
        auto line = MakePosixSerialLine();
        QStringList chooser;
        CFirmwareDlg core(*line, host, FastLink(sim.Path()), false, folder.path().toStdString(),
                          [&chooser](const std::string& title, const std::string&) {
                              chooser << QString::fromStdString(title);
                              return std::optional<std::string>();
                          });
        CFirmwareForm form(core);
        CFirmwareDialog dlg(nullptr, form);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.windowTitle(), QString("Update Firmware on Data Logger"));
        QCOMPARE(dlg.ActionButton()->text(), QString("Analyze"));
        QVERIFY(dlg.grab().save(ShotPath("firmware-before")));

        BoxAnswerer answers;
        dlg.Start();
        QVERIFY2(answers.messages.isEmpty(), qPrintable(answers.messages.join("; ")));
        QCOMPARE(dlg.Version()->text(), QString("V2.10"));
        QCOMPARE(dlg.ActionButton()->text(), QString("Update"));
        QVERIFY(dlg.Images()->isEnabled());
        QCOMPARE(dlg.Images()->count(), 1);
        QCOMPARE(dlg.Images()->item(0)->text(), QString("V2.05"));
        QCOMPARE(dlg.Images()->currentRow(), 0);
        QVERIFY(chooser.isEmpty());
        QVERIFY(dlg.grab().save(ShotPath("firmware")));

        dlg.ActionButton()->click();
        QCOMPARE(answers.questions,
                 QStringList({"Choosing to change to an older version of Firmware is NOT "
                              "recommended.\nThis could cause unpredictable problems. \nDo you "
                              "still wish to continue?"}));
        QCOMPARE(answers.messages,
                 QStringList({"Firmware has been successfully updated on Data Logger."}));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.Version()->text(), QString("V2.05"));
        QCOMPARE(ReadBytes(flashed), bytes);

        answers.messages.clear();
        dlg.ExitButton()->click();
        QVERIFY2(answers.messages.isEmpty(), qPrintable(answers.messages.join("; ")));
        QVERIFY(!dlg.isVisible());
    }

    // The main window's commands are there; OK gives the application the dialog's segment
    // count, Cancel nothing.
    void mainWindowOpensTheDialogs() {
        CDataAcqApp app(m_dir.filePath("ORVEX.INI").toStdString());
        test::FakeHost host;
        CMainWindow window(app, host);
        QVERIFY(window.Action(MainCommand::SetupLoggerChannels)->isEnabled());
        QVERIFY(window.Action(MainCommand::UpdateFirmware)->isEnabled());
        for (bool ok : {false, true}) {
            bool seen = false;
            QTimer::singleShot(50, [&] {
                auto* dlg = qobject_cast<CLoggerConfigDialog*>(QApplication::activeModalWidget());
                if (!dlg) return;
                seen = true;
                // While the dialog holds the port the other logger commands wait.
                QVERIFY(!window.Action(MainCommand::UpdateFirmware)->isEnabled());
                auto* segments = dlg->findChild<QComboBox*>("segments");
                segments->setCurrentIndex(3);
                emit segments->activated(3);
                if (ok)
                    dlg->OkButton()->click();
                else
                    dlg->reject();
            });
            window.Run(MainCommand::SetupLoggerChannels);
            QVERIFY(seen);
            QCOMPARE(app.GetRecordSegments(), ok ? 8 : 1);
        }
        QVERIFY(window.Action(MainCommand::UpdateFirmware)->isEnabled());
    }

  private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(LoggerDialogsTest)
#include "test_logger_dialogs.moc"
