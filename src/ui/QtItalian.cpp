#include "ui/QtItalian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace scaricometro {

void useQtItalian()
{
    static const bool loaded = [] {
        auto* translator = new QTranslator(QCoreApplication::instance());
        // Compiled into the program where Qt is (Windows), else Qt's own translations folder.
        for (const QString& folder : {QStringLiteral(":/i18n"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
            if (translator->load(QStringLiteral("qtbase_it"), folder))
                return QCoreApplication::installTranslator(translator);
        }
        delete translator;
        return false;
    }();
    Q_UNUSED(loaded);
}

}  // namespace scaricometro
