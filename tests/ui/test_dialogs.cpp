// The dialog binder on real widgets, every gallery dialog's bound names, and the "COM Port"
// dialog driven through its widgets.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include "DialogDriving.h"
#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/DemoDocument.h"
#include "app/DocumentSetup.h"
#include "app/ui/DialogGallery.h"
#include "host/ui/DialogBinder.h"
#include "logger/ui/ComPortDialog.h"
#include "model/Document.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

using test::Click;

// A model with one field of every kind: "Record for" enables the minutes, the trigger choice
// shows the "Both" note, "Clear" empties the name, and OK refuses while the name is in error.
class SampleModel : public CDialogModel {
  public:
    SampleModel() {
        m_rate.items = {"10", "20", "50"};
        m_rate.selected = 1;
        m_name.SetPattern("[A-Za-z ]{1,12}");
        m_name.tip = "Letters only";
        m_name.text = "Pass";
        m_trigger.options = 3;
        m_minutes.lo = 1;
        m_minutes.hi = 60;
        m_minutes.value = 5;
        m_minutes.enabled = false;
        m_note.shown = false;
        m_note.text = "Both edges";
        Bind("rate", m_rate);
        Bind("name", m_name);
        Bind("recordFor", m_recordFor);
        Bind("trigger", m_trigger);
        Bind("minutes", m_minutes);
        Bind("note", m_note);
        Bind("clear", m_clear);
    }
    void Changed(const std::string& name) override {
        changes.push_back(name);
        m_minutes.enabled = m_recordFor.checked;
        m_note.shown = m_trigger.selected == 2;
    }
    bool Edited(const std::string& name) override {
        edits.push_back(name);
        return !m_name.error;
    }
    void Clicked(const std::string& name) override {
        if (name == "clear") m_name.text.clear();
    }
    bool Accept() override { return !m_name.error; }

    ChoiceField m_rate;
    TextField m_name;
    CheckField m_recordFor;
    RadioField m_trigger;
    NumberField m_minutes;
    LabelField m_note;
    ButtonField m_clear;
    std::vector<std::string> changes;
    std::vector<std::string> edits;
};

template <class W>
W* Add(QWidget* form, const char* name) {
    auto* w = new W(form);
    w->setObjectName(QString::fromLatin1(name));
    form->layout()->addWidget(w);
    return w;
}

struct SampleForm {
    QDialog dialog;
    QComboBox* rate;
    QLineEdit* name;
    QCheckBox* recordFor;
    QRadioButton* trigger[3];
    QSpinBox* minutes;
    QLabel* note;
    QPushButton* clear;
    QDialogButtonBox* buttons;
    SampleForm() {
        new QVBoxLayout(&dialog);
        rate = Add<QComboBox>(&dialog, "rate");
        name = Add<QLineEdit>(&dialog, "name");
        recordFor = Add<QCheckBox>(&dialog, "recordFor");
        for (int i = 0; i < 3; ++i)
            trigger[i] = Add<QRadioButton>(&dialog, QStringLiteral("trigger_%1").arg(i).toLatin1());
        minutes = Add<QSpinBox>(&dialog, "minutes");
        note = Add<QLabel>(&dialog, "note");
        clear = Add<QPushButton>(&dialog, "clear");
        buttons = Add<QDialogButtonBox>(&dialog, "buttonBox");
        buttons->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    }
};

QString ShotPath(const QString& name) {
    return QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-dialog-%1.png").arg(name);
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    test::FakeHost m_host;

  private slots:
    void init() { m_host = test::FakeHost(); }

    void binderShowsEveryFieldInItsWidget() {
        SampleModel model;
        SampleForm form;
        CDialogBinder binder(&form.dialog, model);
        QVERIFY(binder.Missing().isEmpty());
        QCOMPARE(form.rate->count(), 3);
        QCOMPARE(form.rate->currentText(), QString("20"));
        QCOMPARE(form.name->text(), QString("Pass"));
        QCOMPARE(form.name->toolTip(), QString("Letters only"));
        QVERIFY(!form.minutes->isEnabled());
        QCOMPARE(form.minutes->maximum(), 60);
        QCOMPARE(form.minutes->value(), 5);
        QVERIFY(form.note->isHidden());
        for (QRadioButton* b : form.trigger) QVERIFY(!b->isChecked());
    }

    void binderReportsNamesWithoutAFittingWidget() {
        SampleModel model;
        SampleForm form;
        delete form.clear;
        form.minutes->setObjectName("other");
        auto* wrongKind = Add<QLabel>(&form.dialog, "minutes");  // a label cannot take a number
        Q_UNUSED(wrongKind);
        CDialogBinder binder(&form.dialog, model);
        QCOMPARE(binder.Missing(), (QStringList{"minutes", "clear"}));
    }

    void everyEventRefreshesEveryWidget() {
        SampleModel model;
        SampleForm form;
        CDialogBinder binder(&form.dialog, model);
        form.recordFor->click();
        QVERIFY(model.m_recordFor.checked);
        QVERIFY(form.minutes->isEnabled());

        form.trigger[2]->click();
        QCOMPARE(model.m_trigger.selected, 2);
        QVERIFY(!form.note->isHidden());
        form.trigger[0]->click();
        QCOMPARE(model.m_trigger.selected, 0);
        QVERIFY(form.note->isHidden());
        QVERIFY(!form.trigger[2]->isChecked());

        form.minutes->setValue(12);
        QCOMPARE(model.m_minutes.value, 12);
        form.rate->setCurrentIndex(2);
        emit form.rate->activated(2);
        QCOMPARE(*model.m_rate.Text(), std::string("50"));

        // The model moving a value is shown after the next event.
        model.m_trigger.selected = 1;
        model.m_rate.items = {"5", "6"};
        model.m_rate.selected = 0;
        form.clear->click();
        QCOMPARE(form.name->text(), QString());
        QVERIFY(form.trigger[1]->isChecked());
        QVERIFY(!form.trigger[0]->isChecked());
        QCOMPARE(form.rate->count(), 2);
        QCOMPARE(form.rate->currentText(), QString("5"));
        QCOMPARE(model.changes,
                 (std::vector<std::string>{"recordFor", "trigger", "trigger", "minutes", "rate"}));
    }

    void typedTextShowsItsErrorAndARefusedEditKeepsTheFocus() {
        SampleModel model;
        SampleForm form;
        CDialogBinder binder(&form.dialog, model);
        form.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form.dialog));
        const QColor normal = form.name->palette().color(QPalette::Text);
        form.name->setFocus();
        form.name->selectAll();
        QTest::keyClicks(form.name, "Lap 7");
        QCOMPARE(model.m_name.text, std::string("Lap 7"));
        QVERIFY(model.m_name.error);
        QCOMPARE(form.name->palette().color(QPalette::Text), QColor(Qt::red));
        QTest::keyClick(form.name, Qt::Key_Return);
        QCOMPARE(model.edits, (std::vector<std::string>{"name"}));
        QVERIFY(form.name->hasFocus());

        // OK is refused while the name is in error.
        form.buttons->button(QDialogButtonBox::Ok)->click();
        QVERIFY(form.dialog.isVisible());

        QTest::keyClick(form.name, Qt::Key_Backspace);
        QTest::keyClick(form.name, Qt::Key_Backspace);
        QVERIFY(!model.m_name.error);
        QCOMPARE(form.name->palette().color(QPalette::Text), normal);
        form.buttons->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(form.dialog.result(), int(QDialog::Accepted));
    }

    void leavingARefusingTabKeepsIt() {
        struct Page : IDialogPage {
            bool refuse = false;
            int shown = 0;
            void Refresh() override { ++shown; }
            bool Store(bool validate) override { return !(validate && refuse); }
        } first, second;
        SampleModel model;
        QWidget form;
        new QVBoxLayout(&form);
        auto* tabs = Add<QTabWidget>(&form, "pages");
        tabs->addTab(new QWidget, "RPMs");
        tabs->addTab(new QWidget, "Timers");
        CDialogSheet sheet;
        sheet.AddPage(first);
        sheet.AddPage(second);
        CDialogBinder binder(&form, model);
        binder.BindSheet(tabs, sheet);
        first.refuse = true;
        tabs->setCurrentIndex(1);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(second.shown, 0);
        first.refuse = false;
        tabs->setCurrentIndex(1);
        QCOMPARE(sheet.ActivePage(), 1);
        QCOMPARE(second.shown, 1);
    }

    // Every dialog of the gallery finds a widget of the right kind for each bound name; each
    // is saved as a picture on the demo session.
    void everyGalleryDialogBindsAllItsNames() {
        CDataAcqApp app(m_dir.filePath("ORVEX.INI").toStdString());
        CBriodashDoc doc(m_host, DefaultDocumentServices(), DocumentOptions{});
        GeneratorOptions demo;
        demo.minutes = 0.2;
        QVERIFY(FillDemoDocument(doc, demo));
        doc.m_lGreenTime = 20000;
        doc.m_lRedTime = 60000;  // data alignment needs both
        QVERIFY(!DialogGallery().empty());
        for (const GalleryEntry& entry : DialogGallery()) {
            DialogContext context{app, m_host, entry.needsDocument ? &doc : nullptr};
            OpenedDialog opened = entry.open(context);
            QVERIFY2(opened.dialog, entry.title.c_str());
            opened.dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(opened.dialog.get()));
            QString file = QString::fromStdString(entry.title).toLower();
            file.replace(QRegularExpression("[^a-z0-9]+"), "-");
            QVERIFY(opened.dialog->grab().save(ShotPath(file)));
            QCOMPARE(opened.dialog->windowTitle().toStdString(),
                     entry.caption.empty() ? entry.title : entry.caption);
            auto* binder = opened.dialog->findChild<CDialogBinder*>();
            QVERIFY2(binder, entry.title.c_str());
            QVERIFY2(binder->Missing().isEmpty(), qPrintable(QString::fromStdString(entry.title) +
                                                             ": " + binder->Missing().join(", ")));
            QVERIFY(FindDialog(entry.title) == &entry);
        }
        QVERIFY(!FindDialog("No Such Dialog"));
    }

    void zeroTimeDialogSetsTheZeroOnlyOnOk() {
        CBriodashDoc doc(m_host, DefaultDocumentServices(), DocumentOptions{});
        GeneratorOptions demo;
        demo.minutes = 0.2;
        QVERIFY(FillDemoDocument(doc, demo));
        CDataAcqApp app(m_dir.filePath("ORVEX.INI").toStdString());
        doc.m_lGreenTime = 20000;
        CBriodashDataset* ds = doc.ShownDatasets().front();
        const int32_t zero = ds->m_lZeroTime;
        for (bool ok : {false, true}) {
            DialogContext context{app, m_host, &doc};
            OpenedDialog opened = FindDialog("Set Zero Time")->open(context);
            opened.dialog->show();
            auto* zeroBy = opened.dialog->findChild<QComboBox*>("zeroBy");
            auto* offset = opened.dialog->findChild<QLineEdit*>("offset");
            QVERIFY(zeroBy && offset);
            QCOMPARE(zeroBy->itemText(1), QString("Green Marker @ 0:02.0000"));
            zeroBy->setCurrentIndex(1);
            emit zeroBy->activated(1);
            QTest::keyClicks(offset, "0.5");
            auto* box = opened.dialog->findChild<QDialogButtonBox*>("buttonBox");
            box->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            QCOMPARE(ds->m_lZeroTime, ok ? zero + 20000 + 5000 : zero);
        }
    }

    void renameAndSpikeFilterChangeTheDocumentOnlyOnOk() {
        CBriodashDoc doc(m_host, DefaultDocumentServices(), DocumentOptions{});
        GeneratorOptions demo;
        demo.minutes = 0.2;
        QVERIFY(FillDemoDocument(doc, demo));
        CDataAcqApp app(m_dir.filePath("ORVEX.INI").toStdString());
        CBriodashDataset* ds = doc.ShownDatasets().front();
        const std::string name = ds->m_strName;
        for (bool ok : {false, true}) {
            DialogContext context{app, m_host, &doc};
            OpenedDialog rename = FindDialog("Change Session/Pass Name")->open(context);
            rename.dialog->show();
            auto* edit = rename.dialog->findChild<QLineEdit*>("name");
            QCOMPARE(edit->text().toStdString(), name);
            edit->selectAll();
            QTest::keyClicks(edit, "Qualifying");
            Click(*rename.dialog, ok);
            QCOMPARE(ds->m_strName, ok ? std::string("Qualifying") : name);

            OpenedDialog spike = FindDialog("Spike Filter Settings")->open(context);
            spike.dialog->show();
            auto* tach = spike.dialog->findChild<QCheckBox*>("rpm1");
            QVERIFY(tach->isEnabled());
            QVERIFY(!tach->isChecked());
            tach->click();
            Click(*spike.dialog, ok);
            QCOMPARE(ds->m_rpm[0].m_nDataMode, ok ? 2 : 0);
        }
    }

    void comPortDialogOffersTheDevicesAndTakesATypedPath() {
        qputenv("ORVEX_COM1", "/dev/ttyS0");
        CComPortChoice choice(1, "", {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyACM0"}, m_host);
        CComPortDialog dlg(nullptr, choice);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(dlg.Button(1)->isChecked());
        QCOMPARE(dlg.DeviceList()->count(), 3);
        QCOMPARE(dlg.DeviceList()->itemText(1), QString("/dev/ttyUSB0"));
        QCOMPARE(dlg.findChild<QLabel*>("portDevice")->text(), QString("COM 1 is /dev/ttyS0"));
        dlg.grab().save(ShotPath("com-port"));

        // Picking a device from the list chooses it.
        dlg.DeviceList()->setCurrentIndex(1);
        emit dlg.DeviceList()->activated(1);
        QVERIFY(dlg.DeviceButton()->isChecked());
        QVERIFY(!dlg.Button(1)->isChecked());
        QCOMPARE(choice.Path(), std::string("/dev/ttyUSB0"));

        // A typed path, and OK.
        dlg.DeviceList()->lineEdit()->selectAll();
        QTest::keyClicks(dlg.DeviceList()->lineEdit(), "/tmp/ttyLOG");
        QCOMPARE(choice.Path(), std::string("/tmp/ttyLOG"));
        QCOMPARE(choice.Port(), 1);
        dlg.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(m_host.messages.empty());
        qunsetenv("ORVEX_COM1");
    }

    void comPortDialogTitleIsNotCut() {
        CComPortChoice choice(1, "", {}, m_host);
        CComPortDialog dlg(nullptr, choice);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(dlg.width() >= dlg.fontMetrics().horizontalAdvance(dlg.windowTitle()) + 100);
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
