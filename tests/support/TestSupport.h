// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_TESTSUPPORT_H
#define QUILMO_TESTS_TESTSUPPORT_H

#include "app/MainWidget.h"
#include "config/ConfigBus.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

/// A fresh, empty HOME for the lifetime of the object.
class TemporaryHome
{
public:
    TemporaryHome();
    ~TemporaryHome();
    QString path() const { return m_dir.path(); }
    /// Writes @p content to a file below HOME, creating its directories.
    void writeFile(const QString &relativePath, const QByteArray &content);
    /// Writes @p content as the tool's settings file.
    void writeSettings(const QByteArray &content);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
};

/// Collects the debug output while it lives.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    QStringList lines() const;
    void clear();
};

/// Bus writes as (name, value) in call order; ints as int, strings as
/// QString.
using BusCalls = QList<QPair<QString, QVariant>>;

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

/// A fresh HOME and a recording bus for one test case: nothing the code
/// under test writes reaches the user's files or engine.
struct Sandbox {
    TemporaryHome home;
    RecordingConfigBus bus;
};

#endif
