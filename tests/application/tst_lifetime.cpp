#include "platform/application/Lifetime.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

namespace {

QList<int> g_order;

void releaseWindows()
{
    g_order << int(lifetime::Stage::Windows);
}

void releaseLoader()
{
    g_order << int(lifetime::Stage::FormLoader);
}

void releaseBox()
{
    g_order << int(lifetime::Stage::PromptBox);
}

void releaseApplication()
{
    g_order << int(lifetime::Stage::Application);
}

// A window whose release makes a new loader, as a late object would.
void releaseWindowsMakingALoader()
{
    releaseWindows();
    lifetime::atRelease(lifetime::Stage::FormLoader, releaseLoader);
}

void releaseBoxMakingAWindow()
{
    releaseBox();
    lifetime::atRelease(lifetime::Stage::Windows, releaseWindows);
}

} // namespace

class TestLifetime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { g_order.clear(); }
    void stagesNotRegistrationOrder();
    void eachReleaseRunsOnce();
    void lateObjects();
    void releasedWithTheApplication();
};

void TestLifetime::stagesNotRegistrationOrder()
{
    lifetime::atRelease(lifetime::Stage::Application, releaseApplication);
    lifetime::atRelease(lifetime::Stage::PromptBox, releaseBox);
    lifetime::atRelease(lifetime::Stage::Windows, releaseWindows);
    lifetime::atRelease(lifetime::Stage::FormLoader, releaseLoader);
    lifetime::releaseAll();
    QCOMPARE(g_order, (QList<int> {0, 1, 2, 3}));
}

void TestLifetime::eachReleaseRunsOnce()
{
    lifetime::atRelease(lifetime::Stage::PromptBox, releaseBox);
    lifetime::atRelease(lifetime::Stage::PromptBox, releaseBox);
    lifetime::releaseAll();
    lifetime::releaseAll();
    QCOMPARE(g_order, QList<int> {int(lifetime::Stage::PromptBox)});
}

void TestLifetime::lateObjects()
{
    // Made in a later stage's turn: released in the same run. Made in an earlier one: kept for
    // the next run, never lost.
    lifetime::atRelease(lifetime::Stage::Windows, releaseWindowsMakingALoader);
    lifetime::atRelease(lifetime::Stage::PromptBox, releaseBoxMakingAWindow);
    lifetime::releaseAll();
    QCOMPARE(g_order, (QList<int> {0, 1, 2}));
    lifetime::releaseAll();
    QCOMPARE(g_order, (QList<int> {0, 1, 2, 0}));
}

void TestLifetime::releasedWithTheApplication()
{
    int argc = 1;
    char name[] = "tst_lifetime";
    char *argv[] = {name, nullptr};
    // The test's own application goes first; objects of the next one go with it.
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    lifetime::atRelease(lifetime::Stage::FormLoader, releaseLoader);
    lifetime::atRelease(lifetime::Stage::Windows, releaseWindows);
    QVERIFY(g_order.isEmpty());
    app.reset();
    QCOMPARE(g_order, (QList<int> {0, 1}));
}

int main(int argc, char **argv)
{
    TestLifetime test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lifetime.moc"
