// SPDX-License-Identifier: GPL-2.0-or-later
#ifndef QUILMO_WORDLIBORDER_H
#define QUILMO_WORDLIBORDER_H

#include <QSet>
#include <QString>
#include <QStringList>

/// The engine always loads these two; their rows cannot be unticked.
bool isForcedWordLib(const QString &fileName);

/**
 * @brief The order of the word-library table.
 *
 * A library named user.qlb, one named sys.qlb, the active ones, the rest
 * of the per-user directory, then everything else; by file name (code
 * units, case-sensitive) within each of these classes.
 */
class WordLibOrder
{
public:
    /// @p activeNames: file names of the active libraries; @p userDir: the
    /// per-user word-library directory, ending in "/".
    WordLibOrder(const QStringList &activeNames, const QString &userDir);

    /// Whether the library at path @p a comes before the one at @p b. A
    /// strict weak ordering.
    bool qlbLessThan(const QString &a, const QString &b) const;
    /// Sorts @p paths into table order in O(n log n); paths that compare
    /// equal keep their order.
    void sort(QStringList &paths) const;
    /// Whether @p fileName is one of the active libraries.
    bool isActive(const QString &fileName) const;

private:
    enum class OrderClass { User, Sys, Active, UserDir, Other };
    struct Key {
        OrderClass orderClass;
        QString fileName;
        bool operator<(const Key &other) const;
    };

    Key keyOf(const QString &path) const;

    QSet<QString> m_activeNames;
    QString m_userDir;
};

#endif
