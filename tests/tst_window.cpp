// SPDX-License-Identifier: GPL-2.0-or-later
// The real tool through its launcher on a real X server (Xvfb, xcb, no
// window manager), with a private D-Bus session and IBus daemon: its
// window's size and size limits, one copy per user that a second start
// raises, closing, and 2x scaling.
#include "XClient.h"
#include "support/IBusDaemon.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <ibus.h>
#include <memory>

namespace
{
const QString title = QStringLiteral("墨岚拼音输入法设置");
const QString launcher = QStringLiteral(QUILMO_LAUNCHER);
const QString screenshotDir = QStringLiteral(QUILMO_SCREENSHOT_DIR);
const QSize windowSize(600, 400);
const int waitMs = 20000;

const int tabCount = 4;

/**
 * The largest difference between the mean grey levels (0-255) of @p a and
 * @p b over any block of @p block x @p block pixels. Averaging over a block
 * forgives the small differences of text rendered at another size; a
 * control or a text cut off or pushed aside changes whole blocks.
 */
int largestBlockDifference(const QImage &a, const QImage &b, int block)
{
    auto meanGrey = [](const QImage &image, const QRect &area) {
        qint64 sum = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                sum += qGray(image.pixel(x, y));
        }
        return int(sum / (area.width() * area.height()));
    };
    int largest = 0;
    for (int top = 0; top < a.height(); top += block) {
        for (int left = 0; left < a.width(); left += block) {
            const QRect area =
                QRect(left, top, block, block).intersected(a.rect());
            largest =
                qMax(largest, qAbs(meanGrey(a, area) - meanGrey(b, area)));
        }
    }
    return largest;
}

// An engine's component file, as ibus-daemon reads it.
const char componentXml[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<component>"
    "<name>org.freedesktop.IBus.Quilmo</name><engines><engine>"
    "<name>quilmo</name><setup>%1</setup></engine></engines></component>\n";

/// The preferences command of the first engine in the component file
/// @p path, parsed by IBus and split at white space as ibus-setup does
/// before it starts the first word as a file (no shell, no PATH).
QStringList setupCommand(const QString &path)
{
    IBusComponent *component =
        ibus_component_new_from_file(QFile::encodeName(path).constData());
    if (!component)
        return {};
    g_object_ref_sink(component);
    GList *engines = ibus_component_get_engines(component);
    QString setup;
    if (engines)
        setup = QString::fromUtf8(
            ibus_engine_desc_get_setup(IBUS_ENGINE_DESC(engines->data)));
    g_list_free(engines);
    g_object_unref(component);
    return setup.split(QRegularExpression(QStringLiteral("\\s+")),
                       Qt::SkipEmptyParts);
}
} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void opensOnceAtFixedSizeAndClosesCleanly();
    void keepsItsLayoutAtScaleFactorTwo();
    void opensFromAnIBusSetupEntry();

private:
    /// Starts @p command on our X server with a private HOME and lock.
    void launch(QProcess &process, int scale = 1,
                const QStringList &command = {launcher});
    /// Launches the tool and waits for its window, which must be
    /// @p scale times 600 x 400 device pixels and refuse any other size.
    void openWindow(QProcess &process, int scale, xcb_window_t *window);
    /// Closes @p window like a window manager and expects a clean end.
    void closeWindow(QProcess &process, xcb_window_t window);
    /// The window at @p scale showing each tab in turn; the pictures are
    /// also saved in the build tree.
    void photograph(int scale, QVector<QImage> *tabs);

    QProcess m_xvfb;
    QByteArray m_display;
    IBusDaemon m_ibus;
    std::unique_ptr<XClient> m_x;
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestWindow::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        QSKIP("Xvfb is not installed");
    // -displayfd: Xvfb takes a free display and prints it once it listens.
    // -terminate: it ends with its last client, even if this test dies.
    m_xvfb.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"),
                  QStringLiteral("-screen"), QStringLiteral("0"),
                  QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp"), QStringLiteral("-terminate")});
    QVERIFY(m_xvfb.waitForReadyRead(waitMs));
    m_display = ':' + m_xvfb.readLine().trimmed();
    m_x = std::make_unique<XClient>(m_display);
    QVERIFY(m_x->isConnected());

    const QString why = m_ibus.start();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
}

void TestWindow::cleanupTestCase()
{
    m_x.reset();
    m_xvfb.terminate();
    m_xvfb.waitForFinished(waitMs);
}

void TestWindow::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

void TestWindow::cleanup()
{
    m_home.reset();
}

void TestWindow::launch(QProcess &process, int scale,
                        const QStringList &command)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               m_ibus.sessionBusAddress());
    env.insert(QStringLiteral("HOME"), m_home->path());
    // The lock file lives in TMPDIR: copies run elsewhere on this machine
    // must not count as the first copy here.
    env.insert(QStringLiteral("TMPDIR"), m_home->path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home->path());
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(command.value(0), command.mid(1));
    QVERIFY(process.waitForStarted(waitMs));
}

void TestWindow::openWindow(QProcess &process, int scale, xcb_window_t *window)
{
    launch(process, scale);
    if (QTest::currentTestFailed())
        return;
    *window = m_x->waitForMap(title, waitMs);
    QVERIFY(*window);
    const QSize expected = windowSize * scale;
    QCOMPARE(m_x->size(*window), expected);
    const SizeHints hints = m_x->sizeHints(*window);
    QCOMPARE(hints.minimum, expected);
    QCOMPARE(hints.maximum, expected);
}

void TestWindow::closeWindow(QProcess &process, xcb_window_t window)
{
    m_x->close(window);
    QVERIFY(process.waitForFinished(waitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

void TestWindow::opensOnceAtFixedSizeAndClosesCleanly()
{
    QProcess first;
    xcb_window_t window = 0;
    openWindow(first, 1, &window);
    if (QTest::currentTestFailed())
        return;

    const int maps = m_x->mapCount(title);
    m_x->lower(window);
    QProcess second;
    launch(second);
    QVERIFY(second.waitForFinished(waitMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(m_x->mapCount(title), maps);
    QVERIFY(m_x->waitForRaise(window, waitMs));
    QCOMPARE(first.state(), QProcess::Running);

    closeWindow(first, window);
}

void TestWindow::photograph(int scale, QVector<QImage> *tabs)
{
    QProcess tool;
    xcb_window_t window = 0;
    openWindow(tool, scale, &window);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(m_x->waitForPaint(window, waitMs));
    QDir().mkpath(screenshotDir);
    for (int tab = 1; tab <= tabCount; ++tab) {
        if (tab > 1)
            QVERIFY(m_x->showNextTab(window, waitMs));
        const QImage image = m_x->grab(window);
        QVERIFY(!image.isNull());
        QVERIFY(image.save(QStringLiteral("%1/window-%2x-tab%3.png")
                               .arg(screenshotDir)
                               .arg(scale)
                               .arg(tab)));
        tabs->append(image);
    }
    closeWindow(tool, window);
}

void TestWindow::keepsItsLayoutAtScaleFactorTwo()
{
    QVector<QImage> normal;
    photograph(1, &normal);
    QVector<QImage> doubled;
    photograph(2, &doubled);
    if (QTest::currentTestFailed())
        return;
    // Each tab at scale 2, halved, must look like the same tab at scale 1
    // seen from a little way off: every 10 x 10 block within 50 grey levels.
    // Text and controls drawn at either size stay within about 25 here; a
    // font 5 % off its layout, a button text that no longer fits or a
    // cut-off button bar differs by 80 or more.
    for (int tab = 0; tab < tabCount; ++tab) {
        const QImage halved =
            doubled[tab].scaled(normal[tab].size(), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
        const int difference = largestBlockDifference(normal[tab], halved, 10);
        QVERIFY2(difference <= 50,
                 qPrintable(QStringLiteral("tab %1 differs by %2")
                                .arg(tab + 1)
                                .arg(difference)));
    }
}

void TestWindow::opensFromAnIBusSetupEntry()
{
    const QString path = m_home->filePath(QStringLiteral("quilmo.xml"));
    QFile component(path);
    QVERIFY(component.open(QIODevice::WriteOnly));
    component.write(QString::fromUtf8(componentXml).arg(launcher).toUtf8());
    component.close();
    QProcess tool;
    launch(tool, 1, setupCommand(path));
    const xcb_window_t window = m_x->waitForMap(title, waitMs);
    QVERIFY(window);
    // Docks match the class with the desktop entry quilmo-config.desktop.
    QVERIFY(m_x->property(window, "WM_CLASS")
                .endsWith(QByteArray("\0quilmo-config\0", 15)));
    QVERIFY(!m_x->property(window, "_NET_WM_ICON").isEmpty());
    closeWindow(tool, window);
}

QTEST_GUILESS_MAIN(TestWindow)
#include "tst_window.moc"
