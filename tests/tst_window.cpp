// SPDX-License-Identifier: GPL-2.0-or-later
// The real tool through its launcher on a real X server (Xvfb, xcb, no
// window manager), with a private D-Bus session and IBus daemon: its
// window's size and size limits, one copy per user that a second start
// raises, closing, 2x scaling, a walk with the keyboard alone (xdotool),
// and what a screen reader hears on a real AT-SPI bus in the desktop's
// language.
#include "XClient.h"
#include "config/SettingsFile.h"
#include "support/AtSpiBus.h"
#include "support/IBusDaemon.h"
#include "support/Restrictions.h"
#include "support/TestSupport.h"
#include "support/VirtualScreen.h"
#include "support/WordLibBuilder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>
#include <ibus.h>
#include <memory>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
const QString title = QStringLiteral("墨岚拼音输入法设置");
const QString englishTitle =
    QStringLiteral("Molan Pinyin Input Method Settings");
const QString launcher = QStringLiteral(QUILMO_LAUNCHER);
const QString screenshotDir = QStringLiteral(QUILMO_SCREENSHOT_DIR);
const QSize windowSize(600, 400);
const int waitMs = 20000;
// The CJK font the tool's dependencies bring.
const QString cjkFont =
    QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");

const int tabCount = 4;

/// Variables set for the tool over the test's own; an empty value removes
/// one.
using Variables = QMap<QString, QString>;

/// Through every page with the keyboard alone: the candidate count one up;
/// a.qlb ticked from its file-name column; back out of the table to the tab
/// bar, whose arrows show 高级, 关于 and 高级 again; 智能组词 turned off; and
/// back to 常用 for the key that ends the walk.
const QStringList keyboardWalk = {
    "Tab",   "Down",  "ctrl+Tab",  "Down",           "Right",
    "Right", "space", "shift+Tab", "Right",          "Right",
    "Left",  "Tab",   "space",     "ctrl+shift+Tab", "ctrl+Prior"};

/// What a screen reader says of each object, "role: name", and of each of
/// its labels, "role labelled by label".
QStringList spoken(const QVector<AccessibleObject> &tree)
{
    QStringList lines;
    for (const AccessibleObject &object : tree) {
        lines << object.role + QStringLiteral(": ") + object.name;
        for (const QString &label : object.labels)
            lines << object.role + QStringLiteral(" labelled by ") + label;
    }
    return lines;
}

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
    void init();
    void cleanup();
    void opensOnceAtFixedSizeAndClosesCleanly();
    void keepsItsLayoutAtScaleFactorTwo();
    void opensFromAnIBusSetupEntry();
    void leavesTheUsersHomeToTheUser_data();
    void leavesTheUsersHomeToTheUser();
    void walksWithTheKeyboardAlone_data();
    void walksWithTheKeyboardAlone();
    void speaksToAScreenReaderInTheDesktopLanguage_data();
    void speaksToAScreenReaderInTheDesktopLanguage();

private:
    /// Starts @p command on our X server with a private HOME and lock.
    void launch(QProcess &process, int scale = 1,
                const QStringList &command = {launcher},
                const Variables &variables = {});
    /// Waits for the window titled @p windowTitle, and no longer than
    /// @p tool runs.
    void waitForWindow(QProcess &tool, const QString &windowTitle,
                       xcb_window_t *window);
    /// Launches the tool and waits for its window, which must be
    /// @p scale times 600 x 400 device pixels and refuse any other size.
    void openWindow(QProcess &process, int scale, xcb_window_t *window,
                    const Variables &variables = {});
    /// Gives @p window the input focus, which no window manager does here,
    /// and presses @p keys (xdotool's names) one after another.
    void type(xcb_window_t window, const QStringList &keys);
    /// Closes @p window like a window manager and expects a clean end.
    void closeWindow(QProcess &process, xcb_window_t window);
    /// The window at @p scale showing each tab in turn; the pictures are
    /// also saved in the build tree.
    void photograph(int scale, QVector<QImage> *tabs);

    VirtualScreen m_screen;
    IBusDaemon m_ibus;
    std::unique_ptr<XClient> m_x;
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestWindow::initTestCase()
{
    QUILMO_REQUIRE_SERVICE(m_screen.start());
    m_x = std::make_unique<XClient>(m_screen.display());
    QVERIFY(m_x->isConnected());

    QUILMO_REQUIRE_SERVICE(m_ibus.start());
    QString whyNot; // the 词库 page lists the system libraries too
    QVERIFY2(!emptySystemWordLibDir(&whyNot).isEmpty(), qPrintable(whyNot));
}

void TestWindow::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    // The 词库 page's rows: user.qlb, always active, then a.qlb.
    const QString dir = m_home->filePath(".config/quilmo/wordlib/");
    QVERIFY(writeWordLib(dir + "user.qlb", "用户"));
    QVERIFY(writeWordLib(dir + "a.qlb", "地名"));
}

void TestWindow::cleanup()
{
    m_home.reset();
}

void TestWindow::launch(QProcess &process, int scale,
                        const QStringList &command, const Variables &variables)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("DISPLAY"),
               QString::fromLatin1(m_screen.display()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               m_ibus.sessionBusAddress());
    env.insert(QStringLiteral("HOME"), m_home->path());
    // The lock lives there: copies run elsewhere on this machine must not
    // count as the first copy here.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home->path());
    for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
        if (it.value().isEmpty())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(command.value(0), command.mid(1));
    QVERIFY(process.waitForStarted(waitMs));
}

void TestWindow::waitForWindow(QProcess &tool, const QString &windowTitle,
                               xcb_window_t *window)
{
    const int toolEnded = int(syscall(SYS_pidfd_open, tool.processId(), 0));
    *window = m_x->waitForMap(windowTitle, waitMs, toolEnded);
    close(toolEnded);
    // Status 0 without a window: the tool took its lock for a running
    // copy's.
    if (!*window && tool.waitForFinished(1000))
        QFAIL(qPrintable(QStringLiteral("the tool ended with status %1 "
                                        "before it showed a window")
                             .arg(tool.exitCode())));
    QVERIFY(*window);
}

void TestWindow::openWindow(QProcess &process, int scale, xcb_window_t *window,
                            const Variables &variables)
{
    launch(process, scale, {launcher}, variables);
    if (QTest::currentTestFailed())
        return;
    waitForWindow(process, title, window);
    if (QTest::currentTestFailed())
        return;
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
    const QByteArray firstId = "first-start_TIME4241";
    openWindow(first, 1, &window, {{"DESKTOP_STARTUP_ID", firstId}});
    if (QTest::currentTestFailed())
        return;
    // The desktop ends its launch feedback on this message.
    QTRY_VERIFY_WITH_TIMEOUT(
        m_x->startupMessages().contains("remove: ID=" + firstId), waitMs);

    const int maps = m_x->mapCount(title);
    m_x->lower(window);
    // A window manager that knows startup notification takes the second
    // start's id from the window to let it come forward.
    m_x->announceSupport("_NET_STARTUP_ID");
    const QByteArray startupId = "second-start_TIME4242";
    QProcess second;
    launch(second, 1, {launcher}, {{"DESKTOP_STARTUP_ID", startupId}});
    QVERIFY(second.waitForFinished(waitMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(m_x->mapCount(title), maps);
    QVERIFY(m_x->waitForRaise(window, waitMs));
    QTRY_COMPARE_WITH_TIMEOUT(m_x->property(window, "_NET_STARTUP_ID"),
                              startupId, waitMs);
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
    xcb_window_t window = 0;
    waitForWindow(tool, title, &window);
    if (QTest::currentTestFailed())
        return;
    // Docks match the class with the desktop entry quilmo-config.desktop.
    QVERIFY(m_x->property(window, "WM_CLASS")
                .endsWith(QByteArray("\0quilmo-config\0", 15)));
    QTRY_VERIFY(!m_x->property(window, "_NET_WM_ICON").isEmpty());
    closeWindow(tool, window);
}

void TestWindow::leavesTheUsersHomeToTheUser_data()
{
    QTest::addColumn<QString>("sessionBus"); // empty: none, D-Bus autolaunch
    QTest::newRow("session bus") << m_ibus.sessionBusAddress();
    QTest::newRow("no session bus") << QString();
}

// Run as root on a user's home (sudo -E): 添加's file dialog opened and
// cancelled, then 确定. Qt, D-Bus, IBus and fontconfig (for the user's own
// fonts) write there too, not only the tool; what appears is the user's,
// and a link the user planted to a file of root's is not written through.
void TestWindow::leavesTheUsersHomeToTheUser()
{
    QFETCH(QString, sessionBus);
    if (geteuid() != 0)
        QSKIP("only root can act on another user's home");
    QTemporaryDir rootsDir;
    const QString rootsFile = rootsDir.filePath(QStringLiteral("secret"));
    QVERIFY(writeFile(rootsFile, "root:secret\n"));
    QVERIFY(
        QFile::setPermissions(rootsFile, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(QFile::link(rootsFile, m_home->filePath(".config/QtProject.conf")));
    const QString userFonts = m_home->filePath(".local/share/fonts");
    QVERIFY(QDir().mkpath(userFonts));
    QVERIFY(QFile::link(cjkFont, userFonts + "/wqy-microhei.ttc"));
    QVERIFY(chownTree(m_home->path(), 65534, 65534));

    QProcess tool;
    // The leak checker cannot stop a process that changed its ids.
    launch(tool, 1, {launcher},
           {{"DBUS_SESSION_BUS_ADDRESS", sessionBus},
            {"ASAN_OPTIONS", "detect_leaks=0"}});
    xcb_window_t window = 0;
    waitForWindow(tool, title, &window);
    if (QTest::currentTestFailed())
        return;
    // One candidate more, then 添加 on the 词库 page.
    type(window, {"Tab", "Down", "ctrl+Tab", "Tab", "space"});
    const xcb_window_t dialog =
        m_x->waitForMap(QStringLiteral("选择词库"), waitMs);
    QVERIFY(dialog);
    type(dialog, {"Escape"});
    QVERIFY(m_x->waitForDestroy(dialog, waitMs));
    // Off the 添加 button, which takes Enter for itself, to 高级's first
    // control, and 确定.
    type(window, {"ctrl+Tab", "Return"});
    QVERIFY(tool.waitForFinished(waitMs));
    QCOMPARE(tool.exitCode(), 0);

    const IniSnapshot settings(
        m_home->filePath(".config/quilmo/config_ibus.ini"));
    QVERIFY(settings.value("basic/candidatecount").isValid());
    QCOMPARE(readFile(rootsFile), QByteArray("root:secret\n"));
    QVERIFY(QFileInfo::exists(m_home->filePath(".cache/fontconfig")));
    QCOMPARE(ownedByRoot(m_home->path()), QStringList());
}

void TestWindow::type(xcb_window_t window, const QStringList &keys)
{
    const QString xdotool =
        QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    QVERIFY2(!xdotool.isEmpty(), "xdotool is not installed");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"),
               QString::fromLatin1(m_screen.display()));
    // Two runs: chained after windowfocus, "key" would send its events to
    // that window directly, marked as sent by another client; alone it
    // presses them through XTEST, like a keyboard.
    const QStringList focus = {"windowfocus", "--sync",
                               QString::number(window)};
    for (const QStringList &arguments : {focus, QStringList{"key"} + keys}) {
        QProcess run;
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(xdotool, arguments);
        QVERIFY(run.waitForFinished(waitMs));
        QCOMPARE(run.exitCode(), 0);
    }
}

void TestWindow::walksWithTheKeyboardAlone_data()
{
    QTest::addColumn<QString>("lastKey");
    QTest::addColumn<QStringList>("saved"); // group/key=value; none: no file
    // What the tool finds as libibus; none: the real one.
    QTest::addColumn<QByteArray>("libibus");
    const QStringList walked = {"basic/candidatecount=9",
                                "wordlib/names=user.qlb;a.qlb",
                                "special/enableintelligentword=0"};
    Dl_info gobject{};
    QVERIFY(dladdr(reinterpret_cast<void *>(&g_object_unref), &gobject));
    QTest::newRow("Enter is 确定") << "Return" << walked << QByteArray();
    QTest::newRow("Esc is 取消") << "Escape" << QStringList() << QByteArray();
    QTest::newRow("Enter is 确定 without libibus")
        << "Return" << walked << QByteArray("not a library");
    QTest::newRow("Enter is 确定 with a library that is not libibus")
        << "Return" << walked << readFile(gobject.dli_fname);
}

void TestWindow::walksWithTheKeyboardAlone()
{
    QFETCH(QString, lastKey);
    QFETCH(QStringList, saved);
    QFETCH(QByteArray, libibus);
    Variables variables;
    if (!libibus.isEmpty()) {
        const QString libraries = m_home->filePath(QStringLiteral("lib"));
        QVERIFY(writeFile(libraries + "/libibus-1.0.so.5", libibus));
        variables.insert(QStringLiteral("LD_LIBRARY_PATH"), libraries);
    }
    QProcess tool;
    xcb_window_t window = 0;
    openWindow(tool, 1, &window, variables);
    if (QTest::currentTestFailed())
        return;
    type(window, keyboardWalk + QStringList{lastKey});
    QVERIFY(tool.waitForFinished(waitMs));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), 0);

    const QString path = m_home->filePath(".config/quilmo/config_ibus.ini");
    QCOMPARE(QFile::exists(path), !saved.isEmpty());
    const IniSnapshot settings(path);
    for (const QString &entry : qAsConst(saved)) {
        const QString key = entry.section('=', 0, 0);
        QCOMPARE(key + '=' + settings.value(key).toString(), entry);
    }
}

void TestWindow::speaksToAScreenReaderInTheDesktopLanguage_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("languages"); // LANGUAGE
    QTest::addColumn<QString>("windowTitle");
    QTest::addColumn<QStringList>("heard");
    QTest::addColumn<QString>("applied"); // the status line after 应用
    const QStringList chinese = {"page tab: 常用",
                                 "page tab: 词库",
                                 "page tab: 高级",
                                 "page tab: 关于",
                                 "combo box labelled by 候选词个数",
                                 "panel: 字频调整",
                                 "radio button: 固定",
                                 "table: 词库列表"};
    QTest::newRow("English desktop")
        << "en_US.UTF-8"
        << "" << englishTitle
        << QStringList{"page tab: General",
                       "page tab: Word Libraries",
                       "page tab: Advanced",
                       "page tab: About",
                       "combo box labelled by Number of candidates",
                       "panel: Character frequency",
                       "radio button: Fixed",
                       "table: Word library list"}
        << "Applied";
    QTest::newRow("Chinese desktop") << "zh_CN.UTF-8"
                                     << "" << title << chinese << "已应用";
    QTest::newRow("no language") << "C.UTF-8"
                                 << "" << title << chinese << "已应用";
    // Any Chinese before English keeps the Chinese texts.
    QTest::newRow("Traditional Chinese, then English")
        << "en_US.UTF-8"
        << "zh_TW:en" << title << chinese << "已应用";
}

void TestWindow::speaksToAScreenReaderInTheDesktopLanguage()
{
    QFETCH(QString, lang);
    QFETCH(QString, languages);
    QFETCH(QString, windowTitle);
    QFETCH(QStringList, heard);
    QFETCH(QString, applied);
    QProcess tool;
    // The desktop's language as LANG alone gives it; Qt's bridge registers
    // even though no screen reader has asked for it.
    launch(tool, 1, {launcher},
           {{"LANG", lang},
            {"LC_ALL", ""},
            {"LC_MESSAGES", ""},
            {"LANGUAGE", languages},
            {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}});
    xcb_window_t window = 0;
    waitForWindow(tool, windowTitle, &window);
    if (QTest::currentTestFailed())
        return;
    // Started after the window, the bus reaches the tool through org.a11y.Bus
    // on the session bus alone. Found there at start-up, Qt 5.15's bridge
    // would register before it has connected and never be seen (desktops
    // also publish the bus on the X root window, which hides that).
    AtSpiBus atSpi;
    const QString why = atSpi.start(m_ibus.sessionBusAddress());
    QVERIFY2(why.isEmpty(), qPrintable(why));
    const QVector<AccessibleObject> tree = atSpi.waitForApplication(waitMs);
    const QStringList said = spoken(tree);
    for (const QString &line : qAsConst(heard))
        QVERIFY2(said.contains(line), qPrintable(line));

    const auto cell = std::find_if(
        tree.cbegin(), tree.cend(), [](const AccessibleObject &object) {
            return object.role == "cell" && object.name == "地名";
        });
    QVERIFY(cell != tree.cend());
    type(window, {"Tab", "ctrl+Tab", "Down", "Right", "space"});
    QTRY_VERIFY_WITH_TIMEOUT(atSpi.checkedObjects().contains(cell->path),
                             waitMs);
    // Back to 常用, from its first control to the tabs and round to 应用.
    type(window, {"ctrl+shift+Tab", "shift+Tab", "shift+Tab", "space"});
    QTRY_VERIFY_WITH_TIMEOUT(atSpi.renamedObjects().contains(applied), waitMs);
    closeWindow(tool, window);
}

QTEST_GUILESS_MAIN(TestWindow)
#include "tst_window.moc"
