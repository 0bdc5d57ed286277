// An allocation that fails inside a user operation ends that operation with the program's
// message; the program carries on and takes the next operation.
#include <QPushButton>
#include <QtTest>
#include <new>

#include "app/ui/GuardedApplication.h"

using namespace orvex;

class TestGuardedApplication : public QObject {
    Q_OBJECT

  private slots:
    void failedAllocationEndsOnlyTheOperation() {
        auto* app = static_cast<CGuardedApplication*>(QCoreApplication::instance());
        int reports = 0;
        app->SetOutOfMemoryReport([&] { ++reports; });
        QPushButton button("Open");
        int clicks = 0;
        bool fail = true;
        QObject::connect(&button, &QPushButton::clicked, [&] {
            ++clicks;
            if (fail) throw std::bad_alloc();
        });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QCOMPARE(reports, 1);
        fail = false;
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        QCOMPARE(reports, 1);

        // Start-up work outside the event loop has the same boundary.
        QVERIFY(!app->RunGuarded([]() -> bool { throw std::bad_alloc(); }));
        QCOMPARE(reports, 2);
        QVERIFY(app->RunGuarded([] { return true; }));
        app->SetOutOfMemoryReport({});
    }
};

int main(int argc, char** argv) {
    CGuardedApplication app(argc, argv);
    TestGuardedApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_guarded_application.moc"
