// The module as a host sees it: loaded with dlopen, driven through its exports.

#include "ModuleHost.h"

#include "platform/sharemem/ShareMem.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmapCache>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTextEdit>

#include <pthread.h>

#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

namespace {

QWidget *toolIn(QWidget *container)
{
    return container->findChild<QWidget *>(QStringLiteral("frm_Jointrix"),
                                           Qt::FindDirectChildrenOnly);
}

void releasePosted()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A host's size control and container, shown like a host window.
struct HostWidgets
{
    explicit HostWidgets(QSize size = QSize(1023, 738))
    {
        sizeControl.resize(size);
        container = new QWidget(&sizeControl);
        container->setGeometry(0, 0, size.width(), size.height());
        sizeControl.show();
    }

    QWidget sizeControl;
    QWidget *container = nullptr;
};

JxmmStats memoryStats()
{
    JxmmStats stats {};
    jxmm_get_stats(&stats);
    return stats;
}

struct Notified
{
    int calls = 0;
    QByteArray message;
};

int JOINTRIX_CALL recordNotification(const char *message, void *userData)
{
    auto *notified = static_cast<Notified *>(userData);
    ++notified->calls;
    notified->message = message;
    return 1;
}

} // namespace

class TestModule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void freeFormBeforeAnyShow();
    void placesAndSizesTheWindow_data();
    void placesAndSizesTheWindow();
    void releasesOnlyWhenTheEventLoopRuns();
    void twoShowsLeaveTwoWindows();
    void windowDestroyedWithItsContainerIsNotDestroyedAgain();
    void newShowAfterFreeFormHasFreshDefaults();
    void calculateWritesTheReport();
    void exportsExactlyTheEighteenNames();
    void crashReportingExports();
    void showFreeCyclesStayFlatInMemory();
    void alignedAllocationsUseTheSharedHeap_data();
    void alignedAllocationsUseTheSharedHeap();
    void unloadLeavesTheHostIntact();
    void detachIsSafeInEveryOrder_data();
    void detachIsSafeInEveryOrder();

private:
    ModuleHost m_module;
};

void TestModule::initTestCase()
{
    QVERIFY2(m_module.load(), dlerror());
}

void TestModule::freeFormBeforeAnyShow()
{
    HostWidgets host;
    m_module.FreeForm();
    m_module.FreeForm();
    releasePosted();
    QVERIFY(host.container->children().isEmpty());
}

void TestModule::placesAndSizesTheWindow_data()
{
    QTest::addColumn<QSize>("sizeControl");
    QTest::addColumn<QSize>("windowSize");

    QTest::newRow("designed size") << QSize(1023, 738) << QSize(824, 616);
    QTest::newRow("smaller") << QSize(823, 538) << QSize(624, 416);
    QTest::newRow("smallest non-empty") << QSize(200, 123) << QSize(1, 1);
    QTest::newRow("too small gives an empty window") << QSize(150, 100) << QSize(0, 0);
}

void TestModule::placesAndSizesTheWindow()
{
    QFETCH(QSize, sizeControl);
    QFETCH(QSize, windowSize);

    HostWidgets host(sizeControl);
    // A container bigger than the size control: the size comes from the size control alone.
    host.container->resize(sizeControl + QSize(50, 50));
    m_module.LxToolShow(qApp, &host.sizeControl, host.container);

    QWidget *window = toolIn(host.container);
    QVERIFY(window);
    QPointer<QWidget> tool = window;
    QCOMPARE(window->parentWidget(), host.container);
    QVERIFY(!window->isWindow());
    QVERIFY(host.container->testAttribute(Qt::WA_NativeWindow) || host.container->internalWinId());
    // The stored design position is not used: the window stands at the container's corner.
    QCOMPARE(window->pos(), QPoint(0, 0));
    QCOMPARE(window->size(), windowSize);
    QVERIFY(!window->isHidden());

    // Read once: later changes of the size control are not followed.
    host.sizeControl.resize(sizeControl + QSize(100, 100));
    QCOMPARE(window->size(), windowSize);

    m_module.FreeForm();
    releasePosted();
    QVERIFY(!tool);
}

void TestModule::releasesOnlyWhenTheEventLoopRuns()
{
    HostWidgets host;
    m_module.LxToolShow(qApp, &host.sizeControl, host.container);
    QPointer<QWidget> tool = toolIn(host.container);
    QVERIFY(tool);

    m_module.FreeForm();
    QVERIFY2(tool, "released before the event loop ran");
    releasePosted();
    QVERIFY(!tool);

    // The reference now names a window that no longer exists.
    m_module.FreeForm();
    releasePosted();
}

void TestModule::twoShowsLeaveTwoWindows()
{
    auto hostApplication = std::make_unique<QObject>();
    HostWidgets first;
    HostWidgets second;
    m_module.LxToolShow(hostApplication.get(), &first.sizeControl, first.container);
    m_module.LxToolShow(hostApplication.get(), &second.sizeControl, second.container);
    QPointer<QWidget> older = toolIn(first.container);
    QPointer<QWidget> newer = toolIn(second.container);
    QVERIFY(older);
    QVERIFY(newer);
    QVERIFY(older != newer);

    m_module.FreeForm();
    releasePosted();
    QVERIFY(!newer);
    QVERIFY(older);
    QVERIFY(!toolIn(first.container)->isHidden());

    // FreeForm names only the newest window, which is gone.
    m_module.FreeForm();
    releasePosted();
    QVERIFY(older);

    hostApplication.reset();
    QVERIFY(!older);
    QVERIFY(first.container->children().isEmpty());
}

void TestModule::windowDestroyedWithItsContainerIsNotDestroyedAgain()
{
    auto hostApplication = std::make_unique<QObject>();
    HostWidgets host;
    m_module.LxToolShow(hostApplication.get(), &host.sizeControl, host.container);
    QPointer<QWidget> tool = toolIn(host.container);
    QVERIFY(tool);
    QCOMPARE(hostApplication->children().size(), 1);

    delete host.container;
    QVERIFY(!tool);
    // What held the window for the application object went with it.
    QVERIFY(hostApplication->children().isEmpty());
    m_module.FreeForm();
    releasePosted();
    hostApplication.reset();
}

void TestModule::newShowAfterFreeFormHasFreshDefaults()
{
    HostWidgets host;
    m_module.LxToolShow(qApp, &host.sizeControl, host.container);
    QWidget *tool = toolIn(host.container);
    QVERIFY(tool);
    auto *hf = tool->findChild<QLineEdit *>(QStringLiteral("edt_hf"));
    auto *lf = tool->findChild<QLineEdit *>(QStringLiteral("edt_Lf"));
    auto *calType = tool->findChild<QComboBox *>(QStringLiteral("cbb_CalType"));
    if (!hf || !lf || !calType) {
        m_module.FreeForm();
        releasePosted();
        QSKIP("the window has no edt_hf, edt_Lf or cbb_CalType yet");
    }
    hf->setText(QStringLiteral("55"));
    lf->setText(QStringLiteral("77"));
    calType->setCurrentIndex(3);
    m_module.FreeForm();
    releasePosted();

    m_module.LxToolShow(qApp, &host.sizeControl, host.container);
    tool = toolIn(host.container);
    QVERIFY(tool);
    QCOMPARE(tool->findChild<QLineEdit *>(QStringLiteral("edt_hf"))->text(), QStringLiteral("10"));
    QCOMPARE(tool->findChild<QLineEdit *>(QStringLiteral("edt_Lf"))->text(),
             QStringLiteral("1000"));
    QCOMPARE(tool->findChild<QComboBox *>(QStringLiteral("cbb_CalType"))->currentIndex(), 0);
    m_module.FreeForm();
    releasePosted();
}

void TestModule::calculateWritesTheReport()
{
    HostWidgets host;
    m_module.LxToolShow(qApp, &host.sizeControl, host.container);
    QWidget *tool = toolIn(host.container);
    QVERIFY(tool);
    auto *ok = tool->findChild<QAbstractButton *>(QStringLiteral("BtnOk"));
    auto *report = tool->findChild<QTextEdit *>(QStringLiteral("RxRichEdit1"));
    QVERIFY(ok);
    QVERIFY(report);
    QVERIFY(report->toPlainText().isEmpty());

    ok->click();
    const QString text = report->toPlainText();
    QVERIFY2(text.startsWith(QStringLiteral("单边角焊缝")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("kN")));
    m_module.FreeForm();
    releasePosted();
}

void TestModule::exportsExactlyTheEighteenNames()
{
    QProcess nm;
    nm.start(QStringLiteral("nm"),
             {QStringLiteral("-D"), QStringLiteral("--defined-only"),
              QStringLiteral(JOINTRIX_MODULE_PATH)});
    QVERIFY(nm.waitForFinished());
    QCOMPARE(nm.exitCode(), 0);
    QStringList exported;
    for (const QString &line : QString::fromLatin1(nm.readAllStandardOutput()).split(u'\n')) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() == 3)
            exported << fields[2];
    }
    exported.sort();

    QStringList expected {
        QStringLiteral("LxToolShow"),
        QStringLiteral("FreeForm"),
        QStringLiteral("EurekaLog_CallCreateThread"),
        QStringLiteral("EurekaLog_CallResumeThread"),
        QStringLiteral("EurekaLog_CallExitThread"),
        QStringLiteral("EurekaLog_CallExceptObject"),
        QStringLiteral("EurekaLog_CallGeneralRaise"),
        QStringLiteral("ExceptionManager"),
        QStringLiteral("EurekaLog_PasswordRequestEvent"),
        QStringLiteral("EurekaLog_PasswordRequestEventEx"),
        QStringLiteral("EurekaLog_ExceptionNotifyEvent"),
        QStringLiteral("EurekaLog_HandledExceptionNotifyEvent"),
        QStringLiteral("EurekaLog_ExceptionActionNotifyEvent"),
        QStringLiteral("EurekaLog_ExceptionErrorNotifyEvent"),
        QStringLiteral("EurekaLog_CustomDataRequestEventEx"),
        QStringLiteral("EurekaLog_AttachedFilesRequestEvent"),
        QStringLiteral("EurekaLog_CustomWebFieldsRequestEvent"),
        QStringLiteral("EurekaLog_CustomButtonClickEvent"),
    };
    expected.sort();
    QCOMPARE(exported, expected);

    // The heap: one entry of the shared manager imported, so the loader loads it first, and no
    // operator new or delete of anyone else's.
    nm.start(QStringLiteral("nm"),
             {QStringLiteral("-D"), QStringLiteral("--undefined-only"),
              QStringLiteral(JOINTRIX_MODULE_PATH)});
    QVERIFY(nm.waitForFinished());
    const QString imports = QString::fromLatin1(nm.readAllStandardOutput());
    QVERIFY(imports.contains(QStringLiteral(" jxmm_get_mem\n")));
    QVERIFY2(!imports.contains(QStringLiteral(" _Znwm")), qPrintable(imports));
    QVERIFY2(!imports.contains(QStringLiteral(" _ZdlPv")), qPrintable(imports));
}

void TestModule::crashReportingExports()
{
    using Manager = JxExceptionManager *(JOINTRIX_CALL *)();
    using Register = void(JOINTRIX_CALL *)(JxNotifyCallback, void *);
    using Raise = void(JOINTRIX_CALL *)(const char *);
    using ExceptObject = const char *(JOINTRIX_CALL *)();
    using CreateThread = int(JOINTRIX_CALL *)(void *, const void *, void *(*)(void *), void *);
    using ExitThread = void(JOINTRIX_CALL *)(void *);

    const auto manager = m_module.resolve<Manager>("ExceptionManager");
    const auto notify = m_module.resolve<Register>("EurekaLog_ExceptionNotifyEvent");
    QVERIFY(manager && manager() && manager() == manager());

    // The host's callback gets the error in place of the log line, until it is cleared.
    Notified notified;
    notify(recordNotification, &notified);
    manager()->handle(std::make_exception_ptr(std::runtime_error("weld table missing")));
    manager()->handle(std::exception_ptr());
    QCOMPARE(notified.calls, 1);
    QCOMPARE(notified.message, QByteArray("weld table missing"));
    notify(nullptr, nullptr);
    QTest::ignoreMessage(QtCriticalMsg, "Jointrix: unhandled error: not a std::exception");
    manager()->handle("not a std::exception");
    QCOMPARE(notified.calls, 1);

    const auto raise = m_module.resolve<Raise>("EurekaLog_CallGeneralRaise");
    const auto exceptObject = m_module.resolve<ExceptObject>("EurekaLog_CallExceptObject");
    QVERIFY(!exceptObject());
    try {
        raise("raised by the host");
        QFAIL("EurekaLog_CallGeneralRaise returned");
    } catch (const std::runtime_error &) {
        QCOMPARE(QByteArray(exceptObject()), QByteArray("raised by the host"));
    }

    // Threads: created and ended through pthread.
    const auto createThread = m_module.resolve<CreateThread>("EurekaLog_CallCreateThread");
    static ExitThread exitThread;
    exitThread = m_module.resolve<ExitThread>("EurekaLog_CallExitThread");
    pthread_t thread {};
    int value = 41;
    QCOMPARE(createThread(
                 &thread, nullptr,
                 [](void *arg) -> void * {
                     ++*static_cast<int *>(arg);
                     exitThread(arg);
                     return nullptr;
                 },
                 &value),
             0);
    void *result = nullptr;
    QCOMPARE(pthread_join(thread, &result), 0);
    QCOMPARE(result, static_cast<void *>(&value));
    QCOMPARE(value, 42);
}

void TestModule::showFreeCyclesStayFlatInMemory()
{
    HostWidgets host;
    const auto cycle = [&] {
        m_module.LxToolShow(qApp, &host.sizeControl, host.container);
        QCoreApplication::processEvents();
        m_module.FreeForm();
        releasePosted();
        // The style caches drawings of the controls in Qt's pixmap cache, which is bounded
        // and not ours to count.
        QPixmapCache::clear();
    };
    // The first windows fill Qt's caches (styles, fonts, glyphs).
    for (int i = 0; i < 5; ++i)
        cycle();

    const JxmmStats before = memoryStats();
    m_module.LxToolShow(qApp, &host.sizeControl, host.container);
    const JxmmStats shown = memoryStats();
    // The window is built on the shared heap.
    QVERIFY(shown.allocations > before.allocations);
    m_module.FreeForm();
    releasePosted();
    QPixmapCache::clear();
    const JxmmStats freed = memoryStats();
    // Qt's containers grow in steps, so one window may leave a block behind; a window that
    // leaked anything at all would leave one per cycle.
    QVERIFY2(freed.liveBlocks - before.liveBlocks <= 2,
             qPrintable(QString::number(freed.liveBlocks - before.liveBlocks)));

    constexpr int Cycles = 100;
    for (int i = 0; i < Cycles; ++i)
        cycle();
    const JxmmStats after = memoryStats();
    QVERIFY2(after.liveBlocks - freed.liveBlocks < Cycles / 4,
             qPrintable(QString::number(after.liveBlocks - freed.liveBlocks)));
    QVERIFY2(after.liveBytes - freed.liveBytes < 64LL * 1024,
             qPrintable(QString::number(after.liveBytes - freed.liveBytes)));
    QVERIFY(after.allocations > freed.allocations + Cycles);
    QVERIFY(host.container->children().isEmpty());
}

void TestModule::alignedAllocationsUseTheSharedHeap_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("size");
    QTest::newRow("32, small") << 32 << 1;
    QTest::newRow("64, odd size") << 64 << 100;
    QTest::newRow("a page") << 4096 << 4096;
}

// The host's over-aligned operator new: the manager knows no alignment, so the block is cut
// out of a larger one, which its release has to find again.
void TestModule::alignedAllocationsUseTheSharedHeap()
{
    QFETCH(int, alignment);
    QFETCH(int, size);
    const auto align = std::align_val_t(alignment);
    const JxmmStats before = memoryStats();
    void *block = ::operator new(std::size_t(size), align);
    const JxmmStats allocated = memoryStats();
    QCOMPARE(reinterpret_cast<quintptr>(block) % quintptr(alignment), quintptr(0));
    QCOMPARE(allocated.liveBlocks, before.liveBlocks + 1);
    QVERIFY(allocated.liveBytes - before.liveBytes >= size);
    // Every byte is the caller's; AddressSanitizer sees a write past the block.
    std::memset(block, 0x5A, std::size_t(size));
    ::operator delete(block, align);
    const JxmmStats released = memoryStats();
    QCOMPARE(released.liveBlocks, before.liveBlocks);
    QCOMPARE(released.liveBytes, before.liveBytes);
}

void TestModule::unloadLeavesTheHostIntact()
{
    QPointer<QCoreApplication> application(qApp);
    HostWidgets host;
    m_module.LxToolShow(qApp, &host.sizeControl, host.container);
    m_module.FreeForm();
    releasePosted();
    m_module.unload();

    QVERIFY(application);
    QCOMPARE(QCoreApplication::instance(), application.data());
    QVERIFY(host.sizeControl.isVisible());
    QVERIFY(host.container->children().isEmpty());
    QCoreApplication::processEvents();

    // Loading again gives a working module.
    QVERIFY(m_module.load());
    m_module.LxToolShow(qApp, &host.sizeControl, host.container);
    QVERIFY(toolIn(host.container));
    m_module.FreeForm();
    releasePosted();
}

void TestModule::detachIsSafeInEveryOrder_data()
{
    QTest::addColumn<QString>("mode");
    // Whether the process may end with memory still allocated; ignored without LeakSanitizer.
    QTest::addColumn<bool>("leaksAllowed");

    // Unload while the QApplication lives, then the QApplication goes.
    QTest::newRow("unload, then the application ends") << QStringLiteral("unload") << false;
    // The process ends with the module still loaded, after the QApplication.
    QTest::newRow("application ends with the module loaded") << QStringLiteral("loaded") << false;
    // A window the host never freed: destroyed with the host's application object.
    QTest::newRow("window left open") << QStringLiteral("open") << false;
    // exit() while the QApplication still exists: Qt's globals go first, so the module leaves
    // its Qt objects to the end of the process, as Qt itself does.
    QTest::newRow("exit with the application alive") << QStringLiteral("exit") << true;
}

void TestModule::detachIsSafeInEveryOrder()
{
    QFETCH(QString, mode);
    QFETCH(bool, leaksAllowed);

    QProcess probe;
    if (leaksAllowed) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString options = environment.value(QStringLiteral("LSAN_OPTIONS"));
        environment.insert(QStringLiteral("LSAN_OPTIONS"),
                           options + QStringLiteral(":detect_leaks=0"));
        probe.setProcessEnvironment(environment);
    }
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(QStringLiteral(JOINTRIX_UNLOAD_PROBE), {mode});
    QVERIFY(probe.waitForFinished(60000));
    const QByteArray output = probe.readAll();
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QVERIFY2(probe.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("probe: done"), output.constData());
}

QTEST_MAIN(TestModule)
#include "tst_module.moc"
