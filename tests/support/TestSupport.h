// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_TESTSUPPORT_H
#define QUILMO_TESTS_TESTSUPPORT_H

#include "app/MainWidget.h"
#include "config/ConfigBus.h"
#include "pages/TabWidgetWordLib.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

/// Why @p program cannot run: empty when it is on the PATH.
QString whyNotInstalled(const QString &program);

/// Ends the test when @p whyNot (why a daemon or display is missing) is
/// not empty: a skip on a developer's machine, a failure under CI=true,
/// where a skip would pass unnoticed.
#define QUILMO_REQUIRE_SERVICE(whyNot)                                         \
    do {                                                                       \
        const QString reason = (whyNot);                                       \
        if (reason.isEmpty())                                                  \
            break;                                                             \
        if (qgetenv("CI") == "true")                                           \
            QFAIL(qPrintable(reason));                                         \
        QSKIP(qPrintable(reason));                                             \
    } while (false)

/// A settings map: pending or default edits, or a page's committed values.
using Settings = QMap<QString, QString>;

/// A fresh, empty HOME for the lifetime of the object.
class TemporaryHome
{
public:
    TemporaryHome();
    ~TemporaryHome();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
};

/// Writes @p content to @p path, creating its directories.
bool writeFile(const QString &path, const QByteArray &content);
/// Writes @p content as the tool's settings file.
bool writeSettings(const QByteArray &content);
/// The bytes of the file at @p path; empty when it cannot be read.
QByteArray readFile(const QString &path);
/// The keys and values of @p group in the tool's settings file.
Settings storedGroup(const QString &group);

/// Collects the debug output while it lives.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    QStringList lines() const;
    void clear();
};

/**
 * @brief A value as IBus carries it, an int32 or a string. Unlike two
 * QVariants, 2 and "2" differ: the engine reads each key with one type.
 */
class BusValue
{
public:
    BusValue() = default; ///< nothing: absent or unreachable
    BusValue(int value) : m_value(value) {}
    BusValue(const QString &value) : m_value(value) {}
    BusValue(const char *value) : m_value(QString::fromUtf8(value)) {}

    bool isValid() const { return m_value.isValid(); }
    bool isInt() const { return m_value.userType() == QMetaType::Int; }
    int toInt() const { return m_value.toInt(); }
    QString toString() const { return m_value.toString(); }
    bool operator==(const BusValue &other) const
    {
        return m_value.userType() == other.m_value.userType() &&
               m_value == other.m_value;
    }

private:
    QVariant m_value;
};
Q_DECLARE_METATYPE(BusValue)
/// Bus writes as (name, value) in call order.
using BusCalls = QList<QPair<QString, BusValue>>;

/// For QCOMPARE's messages: 2 reads int 2, "2" reads "2".
char *toString(const BusValue &value);
char *toString(const BusCalls &calls);

/**
 * @brief A ConfigBus that records every write instead of sending it.
 * Installed behind ConfigBus::instance() for its lifetime.
 */
class RecordingConfigBus : public ConfigBus
{
public:
    RecordingConfigBus();
    ~RecordingConfigBus() override;

    bool init() override { return true; }
    void uninit() override {}
    void setValue_Int(const QString &name, int value) override;
    void setValue_String(const QString &name, const QString &value) override;

    BusCalls calls;

private:
    ConfigBus *m_replaced;
};

/// The container, with save failures recorded instead of shown in a modal
/// box that no test could answer.
class RecordingMainWidget : public MainWidget
{
public:
    /// The path and the reason of each failure reported, in order.
    QStringList failures;
    QStringList reasons;

protected:
    void showSaveFailure(const QString &path, const QString &reason) override
    {
        failures.append(path);
        reasons.append(reason);
    }
};

/// The word-library page with the add dialogue's file dialog and message
/// box scripted.
class RecordingWordLibPage : public TabWidgetWordLib
{
public:
    explicit RecordingWordLibPage(QWidget *parent = nullptr)
        : TabWidgetWordLib(parent)
    {
    }

    QString chosenFile; ///< what the file dialog answers; null: cancelled
    bool removalConfirmed = true; ///< what the user answers to 删除
    QStringList failures;
    QStringList refusedFiles;

    QString realChooseWordLibFile()
    {
        return TabWidgetWordLib::chooseWordLibFile();
    }
    void realShowAddFailure(const QString &text, const QString &file)
    {
        TabWidgetWordLib::showAddFailure(text, file);
    }
    bool realConfirmRemoval(const QString &name, const QString &file)
    {
        return TabWidgetWordLib::confirmRemoval(name, file);
    }

protected:
    QString chooseWordLibFile() override { return chosenFile; }
    void showAddFailure(const QString &text, const QString &file) override
    {
        failures << text;
        refusedFiles << file;
    }
    bool confirmRemoval(const QString &, const QString &) override
    {
        return removalConfirmed;
    }
    void showRemoveFailure(const QString &text, const QString &file) override
    {
        failures << text;
        refusedFiles << file;
    }
};

/// A fresh HOME and a recording bus for one test case: nothing the code
/// under test writes reaches the user's files or engine.
struct Sandbox {
    TemporaryHome home;
    RecordingConfigBus bus;
};

#endif
