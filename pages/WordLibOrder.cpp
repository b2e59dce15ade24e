// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/WordLibOrder.h"

#include <QFileInfo>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

bool isForcedWordLib(const QString &fileName)
{
    return fileName == QLatin1String("user.qlb") ||
           fileName == QLatin1String("sys.qlb");
}

WordLibOrder::WordLibOrder(const QStringList &activeNames,
                           const QString &userDir)
    : m_activeNames(activeNames.cbegin(), activeNames.cend()),
      m_userDir(userDir)
{
}

bool WordLibOrder::Key::operator<(const Key &other) const
{
    // Also within the named classes: a sort needs a consistent answer.
    return std::tie(orderClass, fileName) <
           std::tie(other.orderClass, other.fileName);
}

WordLibOrder::Key WordLibOrder::keyOf(const QString &path) const
{
    const QString fileName = QFileInfo(path).fileName();
    OrderClass orderClass = OrderClass::Other;
    if (fileName == QLatin1String("user.qlb"))
        orderClass = OrderClass::User;
    else if (fileName == QLatin1String("sys.qlb"))
        orderClass = OrderClass::Sys;
    else if (isActive(fileName))
        orderClass = OrderClass::Active;
    else if (!m_userDir.isEmpty() && path.startsWith(m_userDir))
        orderClass = OrderClass::UserDir;
    return {orderClass, fileName};
}

bool WordLibOrder::qlbLessThan(const QString &a, const QString &b) const
{
    return keyOf(a) < keyOf(b);
}

void WordLibOrder::sort(QStringList &paths) const
{
    // Each key once: QFileInfo per comparison dominated large tables.
    std::vector<std::pair<Key, QString>> keyed;
    keyed.reserve(size_t(paths.size()));
    for (const QString &path : qAsConst(paths))
        keyed.emplace_back(keyOf(path), path);
    std::stable_sort(
        keyed.begin(), keyed.end(),
        [](const auto &a, const auto &b) { return a.first < b.first; });
    for (int i = 0; i < paths.size(); ++i)
        paths[i] = keyed[size_t(i)].second;
}

bool WordLibOrder::isActive(const QString &fileName) const
{
    return m_activeNames.contains(fileName);
}
