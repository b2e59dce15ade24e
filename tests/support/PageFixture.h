// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_PAGEFIXTURE_H
#define QUILMO_TESTS_PAGEFIXTURE_H

#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTableWidget>
#include <QtTest>

#include <memory>

/**
 * @brief One settings page for one test case, on a fresh HOME and with its
 * bus writes recorded: the settings file is written first, then the page
 * is built and shown, as the container would show it.
 */
template <typename Page> class PageFixture
{
public:
    /// The page, with its pending map open to entries that its controls
    /// cannot produce.
    class Probed : public Page
    {
    public:
        using Page::m_changedSettings;
        using Page::Page;
    };

    /// Builds the page over the settings file @p settings; none when null.
    Probed &build(const QByteArray &settings = QByteArray())
    {
        if (!settings.isNull())
            writeSettings(settings);
        m_page = std::make_unique<Probed>(nullptr);
        m_page->show();
        return *m_page;
    }

    Probed &page() const { return *m_page; }
    const Settings &pending() const { return m_page->changedSettings(); }
    Settings apply() const { return m_page->apply(); }
    const BusCalls &calls() const { return m_sandbox.bus.calls; }
    QString home() const { return m_sandbox.home.path(); }

    template <typename Widget> Widget *find(const QString &name = {}) const
    {
        return m_page->template findChild<Widget *>(name);
    }

    /// Runs each step: "apply", "reset", a number (an index of the page's
    /// list), "tick", "untick" or "partial" and a row of the page's table,
    /// or the object name of a button to click.
    void perform(const QStringList &steps) const
    {
        const QStringList ticks = {"untick", "partial", "tick"};
        for (const QString &step : steps) {
            bool isIndex = false;
            const int index = step.toInt(&isIndex);
            const int tick =
                ticks.indexOf(step.section(QLatin1Char(' '), 0, 0));
            if (isIndex)
                find<QComboBox>()->setCurrentIndex(index);
            else if (tick >= 0)
                find<QTableWidget>()
                    ->item(step.section(QLatin1Char(' '), 1).toInt(), 0)
                    ->setCheckState(Qt::CheckState(tick));
            else if (step == QLatin1String("apply"))
                apply();
            else if (step == QLatin1String("reset"))
                m_page->reset();
            else
                click(step);
        }
    }

    /// The columns of a table of edits, for checkEdits().
    static void addEditColumns()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<Settings>("pending");
        QTest::addColumn<Settings>("committed");
        QTest::addColumn<BusCalls>("calls");
    }

    /**
     * One row of a page's table of edits: builds the page over "settings",
     * performs "steps", and expects them to leave "pending", which the next
     * apply() returns as "committed"; by then the bus has received "calls",
     * and a second apply() sends nothing more.
     */
    void checkEdits()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, steps);
        build(settings);
        perform(steps);
        QTEST(pending(), "pending");
        QTEST(apply(), "committed");
        QTEST(calls(), "calls");
        const int sent = calls().size();
        QCOMPARE(apply(), Settings());
        QCOMPARE(calls().size(), sent);
    }

private:
    void click(const QString &name) const
    {
        auto *button = find<QAbstractButton>(name);
        QVERIFY2(button, qPrintable(name));
        if (button->isVisible())
            QTest::mouseClick(button, Qt::LeftButton);
        else // a control kept from the user: only code changes it
            button->setChecked(!button->isChecked());
    }

    Sandbox m_sandbox;
    std::unique_ptr<Probed> m_page;
};

#endif
