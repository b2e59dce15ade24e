// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as the settings file: the three settings pages are built
// from it offscreen, reset and applied. No stored number may make them
// loop, allocate without bound or crash (fuzz.sh bounds time and memory
// per input).
#include "config/ConfigBus.h"
#include "fuzz/FuzzSupport.h"
#include "pages/TabWidgetBasic.h"
#include "pages/TabWidgetSpecial.h"
#include "pages/TabWidgetWordLib.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace
{
/// Takes the values the pages commit; the engine is not the target.
class NullConfigBus : public ConfigBus
{
public:
    bool init() override { return true; }
    void uninit() override {}
    void setValue_Int(const QString &, int) override {}
    void setValue_String(const QString &, const QString &) override {}
};

std::unique_ptr<QTemporaryDir> s_homes;
int s_run = 0;

template <typename Page> void exercise()
{
    Page page(nullptr);
    page.reset();
    page.apply();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    silenceDebugOutput();
    static QApplication application(*argc, *argv);
    static NullConfigBus bus;
    ConfigBus::setInstance(&bus);
    s_homes = std::make_unique<QTemporaryDir>();
    // Fonts and styles load once per process; LeakSanitizer would blame the
    // first input for what they keep.
    LLVMFuzzerTestOneInput(nullptr, 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A new HOME each time: QSettings caches a file by its path and time.
    const QString home = s_homes->filePath(QString::number(++s_run));
    const QString dir = home + QStringLiteral("/.config/quilmo");
    require(QDir().mkpath(dir));
    writeTo(dir + QStringLiteral("/config_ibus.ini"),
            QByteArray(reinterpret_cast<const char *>(data), int(size)));
    qputenv("HOME", QFile::encodeName(home));
    exercise<TabWidgetBasic>();
    exercise<TabWidgetWordLib>();
    exercise<TabWidgetSpecial>();
    QDir(home).removeRecursively();
    return 0;
}
