// SPDX-License-Identifier: GPL-2.0-or-later
#include "pages/TabWidgetWordLib.h"

#include "config/Config.h"
#include "config/ConfigBus.h"
#include "config/ErrorText.h"
#include "config/Logging.h"
#include "config/SettingsFile.h"
#include "pages/FileCopy.h"
#include "pages/PageHelpers.h"
#include "pages/WordLibFile.h"
#include "pages/WordLibOrder.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{
enum Column { NameColumn, AuthorColumn, FileNameColumn, EntryCountColumn };
const int columnCount = 4;

const char *const namesKey = "names";
const char *const defaultNames = "user.qlb;sys.qlb";

QStringList splitNames(const QString &names)
{
    return names.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive);
}

const char *const forcedDescription =
    QT_TRANSLATE_NOOP("TabWidgetWordLib", "这个词库总是启用，不能取消。");
const char *const semicolonDescription = QT_TRANSLATE_NOOP(
    "TabWidgetWordLib", "文件名中含有分号（;），无法启用这个词库。");
const char *const undecodableDescription = QT_TRANSLATE_NOOP(
    "TabWidgetWordLib", "文件名不是有效的 UTF-8 文本，无法启用这个词库。");
const char *const shadowingDescription = QT_TRANSLATE_NOOP(
    "TabWidgetWordLib", "系统词库中有同名文件，无法启用这个词库。");

/// Why a library of this name cannot be made active; null when it can.
/// The selection string separates names with ";", and the settings file
/// holds text: neither a ";" nor bytes that are no text can be stored.
const char *unstorableReason(const QString &fileName)
{
    if (fileName.contains(QLatin1Char(';')))
        return semicolonDescription;
    if (hasUndecodableBytes(fileName))
        return undecodableDescription;
    return nullptr;
}

/// The names the engine takes for libraries, the same for the listing and
/// for 添加: ".qlb" in lower case, not hidden.
bool isWordLibFileName(const QString &fileName)
{
    return !fileName.startsWith(QLatin1Char('.')) &&
           fileName.endsWith(QLatin1String(".qlb"));
}

/// A library of that name in the system directory: one in the user
/// directory would have the same stored name.
bool isSystemWordLibName(const QString &fileName)
{
    return QFile::exists(Config::wordLibDirPath(WordLibDirPathSystem) +
                         fileName);
}

/// Absolute paths of the word libraries in one directory, in no order;
/// their headers go to @p headers. Each file is read once: reading it again
/// to fill the table cost as much as the whole listing.
QStringList listWordLibDir(WordLibDirPathLocation location,
                           QHash<QString, WordLibHeader> &headers)
{
    QStringList paths;
    const QString dir = Config::wordLibDirPath(location);
    if (dir.isEmpty()) // no home
        return paths;
    // readdir(), not QDir: QDir leaves out names that are not UTF-8, which
    // could then be neither ticked nor removed.
    DIR *stream = opendir(encodeFileName(dir).constData());
    if (!stream)
        return paths;
    while (const dirent *entry = readdir(stream)) {
        const QString fileName = decodeFileName(entry->d_name);
        const QString path = dir + fileName;
        WordLibHeader header;
        if (isWordLibFileName(fileName) &&
            readWordLibHeader(path, header) == WordLibReadResult::HeaderRead) {
            paths.append(path);
            headers.insert(path, header);
        }
    }
    closedir(stream);
    return paths;
}

bool isSymLink(const QString &path)
{
    struct stat status;
    return lstat(encodeFileName(path).constData(), &status) == 0 &&
           S_ISLNK(status.st_mode);
}

/// @p path in a message: undecodable bytes as U+FFFD.
QString fileLine(const QString &path)
{
    return QCoreApplication::translate("TabWidgetWordLib", "文件：") +
           displayFileName(path);
}

/// @p text, then the cause of @p error on a line of its own.
QString withReason(const QString &text, int error,
                   ErrorText::Access access = ErrorText::Access::Writing)
{
    return text + QLatin1Char('\n') +
           QCoreApplication::translate("TabWidgetWordLib", "原因：") +
           ErrorText::reason(error, access);
}

/// Device, inode, size and modification time of what is at @p path;
/// zeros when nothing is.
std::array<qint64, 5> identityOf(const QString &path)
{
    struct stat status;
    // The link itself when it is one: that is what removeFile() unlinks.
    if (lstat(encodeFileName(path).constData(), &status) != 0)
        return {}; // gone
    return {qint64(status.st_dev), qint64(status.st_ino), status.st_size,
            status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

QTableWidgetItem *newReadOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}
} // namespace

QStringList TabWidgetWordLib::s_wordLibNames;

TabWidgetWordLib::TabWidgetWordLib(QWidget *parent)
    : TabWidgetBase(QStringLiteral("wordlib"), parent),
      m_tableWidget(new QTableWidget(0, columnCount, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tableWidget);
    auto *buttonRow = new QHBoxLayout;
    auto *addButton = new QPushButton(tr("添加"), this);
    m_removeButton = new QPushButton(tr("删除"), this);
    m_removeButton->setEnabled(false);
    // Enter on a focused button clicks it, as in a dialog, not 确定.
    addButton->setAutoDefault(true);
    m_removeButton->setAutoDefault(true);
    m_removeButton->setToolTip(
        tr("删除自己添加的词库；系统词库和 user.qlb 不能删除。"));
    buttonRow->addWidget(addButton);
    buttonRow->addWidget(m_removeButton);
    buttonRow->addItem(
        new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Fixed));
    layout->addLayout(buttonRow);

    s_wordLibNames = splitNames(
        SettingsFile::read().value(QStringLiteral("wordlib/names")).toString());
    m_defaultSettings.insert(QLatin1String(namesKey),
                             QLatin1String(defaultNames));

    QHash<QString, WordLibHeader> headers;
    m_wordLibPaths = listWordLibDir(WordLibDirPathUser, headers);
    qCDebug(quilmoLog) << Config::wordLibDirPath(WordLibDirPathSystem);
    m_wordLibPaths += listWordLibDir(WordLibDirPathSystem, headers);
    const WordLibOrder order(s_wordLibNames,
                             Config::wordLibDirPath(WordLibDirPathUser));
    order.sort(m_wordLibPaths);

    setUpTable();
    fillTable(order, headers);
    m_savedWordLibNames = selectedWordLibNames();

    // Connected after the filling, so building the table pends nothing.
    connect(m_tableWidget, &QTableWidget::itemChanged, this,
            &TabWidgetWordLib::onTableItemChanged);
    connect(addButton, &QPushButton::clicked, this,
            &TabWidgetWordLib::onAddWordLibButtonClicked);
    connect(m_removeButton, &QPushButton::clicked, this,
            &TabWidgetWordLib::onRemoveWordLibButtonClicked);
    connect(m_tableWidget, &QTableWidget::currentCellChanged, this,
            &TabWidgetWordLib::updateRemoveButton);
}

void TabWidgetWordLib::setUpTable()
{
    m_tableWidget->setHorizontalHeaderLabels(
        {tr("名称"), tr("作者"), tr("文件名"), tr("词条")});
    QHeaderView *header = m_tableWidget->horizontalHeader();
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Stretch);
    m_tableWidget->verticalHeader()->hide();
    m_tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableWidget->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the table; the arrows move between its rows.
    m_tableWidget->setTabKeyNavigation(false);
    m_tableWidget->setAccessibleName(tr("词库列表"));
    m_tableWidget->installEventFilter(this);
}

void TabWidgetWordLib::fillTable(const WordLibOrder &order,
                                 const QHash<QString, WordLibHeader> &headers)
{
    m_tableWidget->setRowCount(m_wordLibPaths.size());
    for (int row = 0; row < m_wordLibPaths.size(); ++row) {
        const QString &path = m_wordLibPaths.at(row);
        const WordLibHeader header = headers.value(path);
        // The "[DEVDEBUG] " traces are kept word for word on purpose.
        qCDebug(quilmoLog) << "[DEVDEBUG] Author: " << header.author;
        qCDebug(quilmoLog) << "[DEVDEBUG] Name: " << header.name;
        const QString fileName = QFileInfo(path).fileName();
        const char *locked = lockReason(path);
        const bool ticked = locked == forcedDescription ||
                            (!locked && order.isActive(fileName));
        fillRow(row, fileName, header, ticked ? Qt::Checked : Qt::Unchecked,
                locked);
    }
}

const char *TabWidgetWordLib::lockReason(const QString &path)
{
    const QString fileName = QFileInfo(path).fileName();
    if (!isForcedWordLib(fileName))
        return unstorableReason(fileName);
    // Only one row of each forced name is always on: the system's.
    const bool shadowing =
        !path.startsWith(Config::wordLibDirPath(WordLibDirPathSystem)) &&
        isSystemWordLibName(fileName);
    return shadowing ? shadowingDescription : forcedDescription;
}

void TabWidgetWordLib::fillRow(int row, const QString &fileName,
                               const WordLibHeader &header,
                               Qt::CheckState checkState, const char *locked)
{
    QTableWidgetItem *nameItem = newReadOnlyItem(header.name);
    nameItem->setCheckState(checkState);
    if (locked)
        nameItem->setFlags(nameItem->flags() & ~Qt::ItemIsUserCheckable);
    // Column 0 goes in first, so the item-changed slot never walks a row
    // without its check box.
    m_tableWidget->setItem(row, NameColumn, nameItem);
    m_tableWidget->setItem(row, AuthorColumn, newReadOnlyItem(header.author));
    m_tableWidget->setItem(row, FileNameColumn,
                           newReadOnlyItem(displayFileName(fileName)));
    m_tableWidget->setItem(
        row, EntryCountColumn,
        newReadOnlyItem(QString::number(header.entryCount, 10)));
    for (int column = 0; locked && column < columnCount; ++column) {
        QTableWidgetItem *item = m_tableWidget->item(row, column);
        item->setToolTip(tr(locked));
        item->setData(Qt::AccessibleDescriptionRole, tr(locked));
    }
}

QString TabWidgetWordLib::selectedWordLibNames() const
{
    QStringList names;
    for (int row = 0; row < m_tableWidget->rowCount(); ++row) {
        const QTableWidgetItem *check = m_tableWidget->item(row, NameColumn);
        const QTableWidgetItem *name = m_tableWidget->item(row, FileNameColumn);
        // A row being filled has its check box before its file name.
        if (check && name && check->checkState() == Qt::Checked)
            names.append(name->text());
    }
    return names.join(QLatin1Char(';'));
}

void TabWidgetWordLib::onTableItemChanged(QTableWidgetItem *item)
{
    announceCheckState(item);
    const QString names = selectedWordLibNames();
    if (names == m_savedWordLibNames)
        m_changedSettings.remove(QLatin1String(namesKey));
    else
        m_changedSettings.insert(QLatin1String(namesKey), names);
}

std::optional<TabWidgetBase::Commit>
TabWidgetWordLib::commitFor(const QString &key, const QString &value)
{
    if (key != QLatin1String(namesKey))
        return std::nullopt;
    qCDebug(quilmoLog) << "wordLibName: " << value;
    m_savedWordLibNames = value;
    return Commit{QStringLiteral("wordLibNames"), value, key};
}

void TabWidgetWordLib::reset()
{
    // m_savedWordLibNames stays: until the next apply() the settings file
    // still holds it, and a selection that returns to it is not pending.
    const QStringList defaults =
        splitNames(m_defaultSettings.value(QLatin1String(namesKey)));
    {
        // One selection for the whole table, not one per row changed:
        // that made a Reset of 20,000 rows take most of a minute.
        const QSignalBlocker blocker(m_tableWidget);
        for (int row = 0; row < m_tableWidget->rowCount(); ++row) {
            QTableWidgetItem *check = m_tableWidget->item(row, NameColumn);
            // A locked row keeps its state: a user's sys.qlb beside the
            // system's must not come in as a second sys.qlb.
            if (!(check->flags() & Qt::ItemIsUserCheckable))
                continue;
            const QString fileName =
                m_tableWidget->item(row, FileNameColumn)->text();
            check->setCheckState(defaults.contains(fileName) ? Qt::Checked
                                                             : Qt::Unchecked);
        }
    }
    onTableItemChanged(nullptr);
}

void TabWidgetWordLib::onAddWordLibButtonClicked()
{
    const QString file = chooseWordLibFile();
    if (file.isNull())
        return;
    m_lastDirectory = QFileInfo(file).absolutePath();
    const QString failure = addWordLib(file);
    if (!failure.isEmpty())
        showAddFailure(failure, file);
}

QString TabWidgetWordLib::addWordLib(const QString &file)
{
    const QFileInfo source(file);
    if (source.fileName().contains(QLatin1Char(';')))
        return tr("词库文件名中不能含有分号（;）！");
    // Refused rather than listed: the engine takes only such names.
    if (!isWordLibFileName(source.fileName()))
        return tr("词库文件名须以小写的 .qlb 结尾，且不能以点（.）开头！");
    const QString userDirPath = Config::wordLibDirPath(WordLibDirPathUser);
    if (userDirPath.isEmpty()) // no home to copy it to
        return tr("拷贝词库文件失败！");
    // Before the next check: a library waiting for removal is not listed.
    if (isWaitingForRemoval(source.fileName()))
        return tr("同名词库正等待删除，请在应用完成删除后再添加！");
    const QDir userDir(userDirPath);
    if (source.absoluteDir() == userDir)
        return tr("该词库已经在词库列表中！");
    const QString target =
        userDir.absolutePath() + QLatin1Char('/') + source.fileName();
    if (QFile::exists(target))
        return tr("词库目录存在同名文件，无法创建！");
    if (isSystemWordLibName(source.fileName()))
        return tr("系统词库中已有同名词库，无法添加！");
    WordLibHeader header;
    const WordLibReadResult sourceRead = readWordLibHeader(file, header);
    if (sourceRead == WordLibReadResult::OpenFailed && errno != 0)
        return withReason(tr("无法读取词库文件！"), errno,
                          ErrorText::Access::Reading);
    if (sourceRead != WordLibReadResult::HeaderRead)
        return tr("非法的词库文件！");
    switch (const int error = copyIntoUserDir(file, target)) {
    case 0:
        break;
    case ECANCELED: // the user's own choice: nothing to tell
        return QString();
    default:
        return withReason(tr("拷贝词库文件失败！"), error);
    }

    switch (readWordLibHeader(target, header)) {
    case WordLibReadResult::OpenFailed:
        return tr("打开词库文件失败！");
    case WordLibReadResult::BadSignature:
        return tr("非法的词库文件！");
    case WordLibReadResult::HeaderRead:
        break;
    }
    qCDebug(quilmoLog) << "[DEVDEBUG] Copied word lib name: " << header.name;
    qCDebug(quilmoLog) << "[DEVDEBUG] Copied word lib author: "
                       << header.author;

    appendRow(target, header);
    // Where the user looks next: the new row, in view and current.
    QTableWidgetItem *added =
        m_tableWidget->item(m_tableWidget->rowCount() - 1, NameColumn);
    m_tableWidget->setCurrentItem(added);
    m_tableWidget->scrollToItem(added);
    m_tableWidget->setFocus(Qt::OtherFocusReason);
    return QString();
}

void TabWidgetWordLib::appendRow(const QString &path,
                                 const WordLibHeader &header,
                                 Qt::CheckState checkState)
{
    m_wordLibPaths.append(path);
    m_tableWidget->setRowCount(m_wordLibPaths.size());
    const QString fileName = QFileInfo(path).fileName();
    fillRow(m_wordLibPaths.size() - 1, fileName, header, checkState,
            unstorableReason(fileName));
}

int TabWidgetWordLib::copyIntoUserDir(const QString &file,
                                      const QString &target)
{
    // A fresh account has no per-user directory yet.
    // mkdir()'s EEXIST: something that is no directory is in the way.
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return errno == EEXIST ? ENOTDIR : errno;
    QProgressDialog progress(this);
    progress.setWindowTitle(tr("添加词库"));
    auto *label = new QLabel(tr("正在拷贝：%1").arg(file));
    label->setTextFormat(Qt::PlainText);
    progress.setLabel(label);
    progress.setCancelButtonText(tr("取消"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setRange(0, 100);
    // A source that grows while copied passes 100 %: a reset there hid the
    // dialog, and with it the only way to cancel.
    progress.setAutoReset(false);
    // Esc that no shortcut took rejects, and Qt 5 then only hides the
    // dialog: the copy went on with the window open to every button.
    connect(&progress, &QDialog::rejected, &progress, &QProgressDialog::cancel);
    return copyToNewFile(
        encodeFileName(file), encodeFileName(target),
        [&progress](qint64 copied, qint64 total) {
            // Modal: setValue() runs the event loop.
            progress.setValue(int(std::min<qint64>(
                100, copied * 100 / std::max<qint64>(total, 1))));
            return !progress.wasCanceled();
        });
}

QString TabWidgetWordLib::chooseWordLibFile()
{
    // The home first, then where the last library came from.
    const QString home = Config::homePath();
    const QString start = !m_lastDirectory.isEmpty() ? m_lastDirectory
                          : !home.isEmpty()          ? home
                                                     : QStringLiteral("/");
    return QFileDialog::getOpenFileName(this, tr("选择词库"), start,
                                        tr("词库文件 (*.qlb)"));
}

void TabWidgetWordLib::showAddFailure(const QString &text, const QString &file)
{
    PageHelpers::showFailure(this, tr("添加失败"), text, fileLine(file));
}

void TabWidgetWordLib::showRemoveFailure(const QString &text,
                                         const QString &file)
{
    PageHelpers::showFailure(this, tr("删除失败"), text, fileLine(file));
}

bool TabWidgetWordLib::confirmRemoval(const QString &name, const QString &file)
{
    QMessageBox box(
        QMessageBox::Question, tr("删除词库"),
        // Isolated: a right-to-left mark in a header's name
        // would turn the rest of the question around.
        tr("确定要删除词库“%1”吗？").arg(QChar(0x2068) + name + QChar(0x2069)),
        QMessageBox::NoButton, this);
    box.setInformativeText(tr("文件：%1\n确定或应用后，这个文件将被删除。")
                               .arg(displayFileName(file)));
    PageHelpers::usePlainText(box);
    QPushButton *remove =
        box.addButton(tr("删除"), QMessageBox::DestructiveRole);
    box.setDefaultButton(box.addButton(tr("取消"), QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == remove;
}

bool TabWidgetWordLib::isRemovable(int row) const
{
    const QString userDir = Config::wordLibDirPath(WordLibDirPathUser);
    if (row < 0 || row >= m_wordLibPaths.size() || userDir.isEmpty())
        return false;
    const QFileInfo library(m_wordLibPaths.at(row));
    // Listed from the user directory, and not a system library reached
    // through it (a user directory that links to the system one); a link
    // of the user's own to one goes alone.
    const QString systemDir =
        QDir(Config::wordLibDirPath(WordLibDirPathSystem)).canonicalPath();
    return library.fileName() != QLatin1String("user.qlb") &&
           QDir::cleanPath(library.absolutePath()) ==
               QDir::cleanPath(userDir) &&
           (isSymLink(library.filePath()) ||
            QDir(library.absolutePath()).canonicalPath() != systemDir);
}

void TabWidgetWordLib::updateRemoveButton()
{
    m_removeButton->setEnabled(isRemovable(m_tableWidget->currentRow()));
}

void TabWidgetWordLib::onRemoveWordLibButtonClicked()
{
    const int row = m_tableWidget->currentRow();
    if (!isRemovable(row) ||
        !confirmRemoval(m_tableWidget->item(row, NameColumn)->text(),
                        m_wordLibPaths.at(row)))
        return;
    // Gone from the table now; the file goes once the engine has the
    // selection without it, and Cancel keeps it.
    const QString path = m_wordLibPaths.takeAt(row);
    m_pendingRemovals.append(
        {path, m_tableWidget->item(row, NameColumn)->checkState(),
         identityOf(path)});
    m_tableWidget->removeRow(row);
    onTableItemChanged(nullptr);
    updateRemoveButton();
    // Not to the buttons below, where the next Space would do something
    // else.
    m_tableWidget->setFocus(Qt::OtherFocusReason);
}

QMap<QString, QString> TabWidgetWordLib::apply()
{
    // Delivered means the engine took a selection without the library;
    // a commit that sends nothing would prove nothing.
    if (!m_pendingRemovals.isEmpty())
        m_changedSettings.insert(QLatin1String(namesKey),
                                 selectedWordLibNames());
    return TabWidgetBase::apply();
}

bool TabWidgetWordLib::finishCommit(bool stored, bool delivered)
{
    TabWidgetBase::finishCommit(stored, delivered);
    // Until the file and the engine hold the selection without it, the
    // engine may still open the library: its file waits.
    if (!stored || !delivered)
        return true;
    QMap<QString, QStringList> kept; // paths by why they stay
    for (const PendingRemoval &removal : std::exchange(m_pendingRemovals, {})) {
        const FileIdentity now = identityOf(removal.path);
        if (now != removal.identity && now != FileIdentity{}) {
            // Not the library the user confirmed: a new one, not ticked.
            restoreRow(removal, Qt::Unchecked);
            kept[tr("确认删除后，这个文件已被替换或修改，没有删除。")]
                << removal.path;
        } else if (const int error = removeFile(removal.path)) {
            // Back as it was, its tick pending again: nothing is lost.
            restoreRow(removal, removal.checkState);
            kept[withReason(tr("无法删除词库文件！"), error)] << removal.path;
        }
    }
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        showKept(it.key(), it.value());
    return kept.isEmpty();
}

void TabWidgetWordLib::restoreRow(const PendingRemoval &removal,
                                  Qt::CheckState checkState)
{
    WordLibHeader header;
    if (readWordLibHeader(removal.path, header) ==
        WordLibReadResult::HeaderRead)
        appendRow(removal.path, header, checkState);
    onTableItemChanged(nullptr);
}

void TabWidgetWordLib::showKept(const QString &text, QStringList paths)
{
    // One box for all: one each kept the user clicking through hundreds.
    // Those beyond ten would push its button off the screen.
    const int shown = 10;
    if (paths.size() > shown)
        paths.replace(shown, QStringLiteral("…"));
    showRemoveFailure(text, paths.mid(0, shown + 1).join(QLatin1Char('\n')));
}

void TabWidgetWordLib::dropPending()
{
    // A box, not the status line: the window is closing.
    QStringList paths;
    for (const PendingRemoval &removal : std::exchange(m_pendingRemovals, {}))
        paths << removal.path;
    if (!paths.isEmpty())
        showKept(tr("词库文件没有删除，仍在词库目录中。\n"
                    "删除要在应用之后、IBus 收到不含它的词库选择时"
                    "才进行。"),
                 paths);
}

bool TabWidgetWordLib::isWaitingForRemoval(const QString &fileName) const
{
    return std::any_of(m_pendingRemovals.cbegin(), m_pendingRemovals.cend(),
                       [&fileName](const PendingRemoval &removal) {
                           return QFileInfo(removal.path).fileName() ==
                                  fileName;
                       });
}

bool TabWidgetWordLib::hasPendingChanges() const
{
    return TabWidgetBase::hasPendingChanges() || !m_pendingRemovals.isEmpty();
}

int TabWidgetWordLib::removeFile(const QString &path)
{
    const bool gone =
        unlink(encodeFileName(path).constData()) == 0 || errno == ENOENT;
    return gone ? 0 : errno;
}

void TabWidgetWordLib::toggleCurrentRow()
{
    QTableWidgetItem *check =
        m_tableWidget->item(m_tableWidget->currentRow(), NameColumn);
    if (check && (check->flags() & Qt::ItemIsUserCheckable))
        check->setCheckState(check->checkState() == Qt::Checked ? Qt::Unchecked
                                                                : Qt::Checked);
}

bool TabWidgetWordLib::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tableWidget && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            toggleCurrentRow();
            return true;
        }
    } else if (watched == m_tableWidget && event->type() == QEvent::FocusIn &&
               m_tableWidget->currentRow() < 0 &&
               m_tableWidget->rowCount() > 0) {
        m_tableWidget->setCurrentCell(0, NameColumn);
    }
    return TabWidgetBase::eventFilter(watched, event);
}

void TabWidgetWordLib::announceCheckState(const QTableWidgetItem *item)
{
    // Qt reports a changed check state only as changed data, which screen
    // readers do not announce.
    if (!item || item->column() != NameColumn)
        return;
    QAccessibleInterface *table =
        QAccessible::queryAccessibleInterface(m_tableWidget);
    QAccessibleInterface *cell =
        table && table->tableInterface()
            ? table->tableInterface()->cellAt(item->row(), NameColumn)
            : nullptr;
    if (!cell)
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(cell, changed);
    QAccessible::updateAccessibility(&event);
}
