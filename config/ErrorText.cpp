// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/ErrorText.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace ErrorText
{
QString reason(int error, Access access)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QCoreApplication::translate("ErrorText", "磁盘空间不足。");
    case EFBIG:
        return QCoreApplication::translate("ErrorText",
                                           "文件大小超出了系统限制。");
    case EACCES:
    case EPERM:
        return access == Access::Reading
                   ? QCoreApplication::translate("ErrorText", "没有读取权限。")
                   : QCoreApplication::translate("ErrorText", "没有写入权限。");
    case EIO:
        return QCoreApplication::translate("ErrorText",
                                           "读写磁盘时出错（输入/输出错误）。");
    case EROFS:
        return QCoreApplication::translate("ErrorText", "文件系统是只读的。");
    case EISDIR:
        return QCoreApplication::translate("ErrorText", "该位置上是一个目录。");
    case ENOTDIR:
        return QCoreApplication::translate("ErrorText",
                                           "路径中有一部分不是目录。");
    case ENOENT: // a dangling link on the way, for one
        return QCoreApplication::translate("ErrorText",
                                           "路径中有一部分不存在。");
    case ELOOP:
        return QCoreApplication::translate("ErrorText",
                                           "路径中的符号链接过多或构成循环。");
    }
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace ErrorText
