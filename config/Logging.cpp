// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/Logging.h"

Q_LOGGING_CATEGORY(quilmoLog, "quilmo")

namespace
{
QtMessageHandler s_nextHandler = nullptr;

void printWithoutCategory(QtMsgType type, const QMessageLogContext &context,
                          const QString &message)
{
    if (qstrcmp(context.category, quilmoLog().categoryName()) != 0)
        return s_nextHandler(type, context, message);
    const QMessageLogContext unnamed(context.file, context.line,
                                     context.function, "default");
    s_nextHandler(type, unnamed, message);
}
} // namespace

void printTracesWithoutCategory()
{
    s_nextHandler = qInstallMessageHandler(printWithoutCategory);
}
