// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_TESTS_ATSPIBUS_H
#define QUILMO_TESTS_ATSPIBUS_H

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

#include <gio/gio.h>
#include <memory>

/// One object of an application's accessible tree.
struct AccessibleObject {
    QString path;
    QString role; ///< AT-SPI's role name: "combo box", "page tab" ...
    QString name;
    QStringList labels; ///< names of the objects it is labelled by
};

/**
 * @brief A desktop's accessibility bus inside a private D-Bus session, and
 * a screen reader on it.
 *
 * start() runs at-spi-bus-launcher, which offers the bus on the session
 * bus as org.a11y.Bus and nowhere else (it gets no X display).
 */
class AtSpiBus
{
public:
    AtSpiBus() = default;
    ~AtSpiBus();
    AtSpiBus(const AtSpiBus &) = delete;
    AtSpiBus &operator=(const AtSpiBus &) = delete;

    /// @return an empty string, or why there is no accessibility bus.
    QString start(const QString &sessionBusAddress);
    /**
     * Waits up to @p timeoutMs for an application to register, asks it to
     * report checked-state and name changes (object:state-changed:checked,
     * object:property-change:accessible-name) as a screen reader does, and
     * reads its objects.
     * @return the first application's objects in tree order; none when no
     * application registered
     */
    QVector<AccessibleObject> waitForApplication(int timeoutMs);
    /// Paths of the objects that reported being checked, in order.
    QStringList checkedObjects() const { return m_checked; }
    /// The names, as they are now, of the objects that reported a new name.
    QStringList renamedObjects() const;

private:
    using Reply = std::unique_ptr<GVariant, decltype(&g_variant_unref)>;

    Reply call(const QString &bus, const QString &path, const char *interface,
               const char *method, GVariant *arguments = nullptr) const;
    /// The (bus name, path) pairs an a(so) reply holds.
    QVector<QPair<QString, QString>> references(const Reply &reply) const;
    /// Registered before the application is, the request could reach Qt's
    /// bridge while it is still setting up, which loses it.
    bool registerListener(const char *event) const;
    QString name(const QString &bus, const QString &path) const;
    QStringList labels(const QString &bus, const QString &path) const;
    void walk(const QString &bus, const QString &path,
              QVector<AccessibleObject> *tree) const;
    static void onStateChanged(GDBusConnection *, const gchar *,
                               const gchar *path, const gchar *, const gchar *,
                               GVariant *parameters, gpointer self);
    static void onPropertyChange(GDBusConnection *, const gchar *sender,
                                 const gchar *path, const gchar *,
                                 const gchar *, GVariant *parameters,
                                 gpointer self);

    QTemporaryDir m_runtimeDir;
    QProcess m_launcher;
    GDBusConnection *m_bus = nullptr;
    guint m_subscription = 0;
    guint m_nameSubscription = 0;
    QStringList m_checked;
    QVector<QPair<QString, QString>> m_renamed; ///< (bus, path)
};

#endif
